// One Net-SNMP session and the exchange of one request over it: the pieces every SNMP operation
// of the layer is built on. Internal to the SNMP layer.
#pragma once

#include <string.h>

#include <memory>
#include <string>

#include "snmp/device_settings.h"
#include "snmp/net_snmp_values.h"
#include "snmp/wait_slices.h"

namespace tarnwick::netsnmp {

struct SessionCloser {
    void operator()(void* session) const {
        const std::lock_guard lock(SharedStateMutex());
        // The library frees its copy of the set-up with the SNMPv3 user's keys still in it.
        if (netsnmp_session* opened = snmp_sess_session(session)) {
            explicit_bzero(opened->securityAuthKey, sizeof opened->securityAuthKey);
            explicit_bzero(opened->securityPrivKey, sizeof opened->securityPrivKey);
        }
        snmp_sess_close(session);
    }
};
// The opaque handle of snmp_sess_open().
using Session = std::unique_ptr<void, SessionCloser>;

struct PduFreer {
    void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using Pdu = std::unique_ptr<netsnmp_pdu, PduFreer>;

struct OpenedSession {
    Session session;
    SnmpStatus status;
};

struct Reply {
    SnmpStatus status;
    Pdu response;  // set when status.ok() or the agent answered with an error-status
    // An SNMPv3 report came instead of the response (a wrong passphrase, an unknown user): the
    // agent answered, and processed nothing of the request.
    bool reported = false;
};

// How many times the library sends a request again when no answer came: a read once more; a
// write never, since the lost answer may have been the agent's yes and a resend would carry bytes
// computed before someone else's change.
inline constexpr int kReadRetries = 1;
inline constexpr int kWriteRetries = 0;

// A session to the settings' device with their version; the community serves SNMPv1 and
// SNMPv2c, SNMPv3 uses the settings' user (its engine ID is discovered as the session opens).
// The session's wait is served through `waiting`; the session must not outlive it.
OpenedSession OpenSession(const DeviceSettings& settings, const std::string& community,
                          WaitSlices& waiting, int retries = kReadRetries);

// Sends the request and waits for its answer. Every request of the layer goes through here; only
// SNMPv3's engine ID discovery is the library's own, inside snmp_sess_open().
Reply Exchange(void* session, Pdu request);

}  // namespace tarnwick::netsnmp
