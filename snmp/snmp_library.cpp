// Net-SNMP start-up without init_snmp(): no configuration, environment, MIB or persistent files.
#include "snmp/snmp_library.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <syslog.h>

#include <mutex>

namespace tarnwick {
namespace {

void SetLibraryFlags() {
    // init_snmp() is never called, so nothing reads these flags' files today; they guard the
    // paths inside the library that would read or write them on their own (persistent state
    // is also saved from snmp_shutdown(), which we never call).
    for (int flag : {NETSNMP_DS_LIB_DONT_READ_CONFIGS, NETSNMP_DS_LIB_DONT_PERSIST_STATE,
                     NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE,
                     NETSNMP_DS_LIB_DONT_LOAD_HOST_FILES, NETSNMP_DS_LIB_NO_TOKEN_WARNINGS}) {
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, flag, 1);
    }
}

void DropLibraryLog() {
    // Without any enabled handler the library writes its log to stderr; the null handler,
    // registered for every priority, swallows it instead.
    netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);
}

}  // namespace

void InitSnmpLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        SetLibraryFlags();
        DropLibraryLog();
        // Sets up the library's internal state (request ids, default transports) once,
        // without touching any file. SNMPv3's user-based security starts with the first
        // SNMPv3 session (snmp/usm_user.cpp).
        netsnmp_session unused;
        snmp_sess_init(&unused);
    });
}

}  // namespace tarnwick
