// The SNMPv3 user of a session: its names, protocols and keys, and the library's user-based
// security, which starts with the first SNMPv3 session.
#include "snmp/usm_user.h"

#include <string.h>

#include <mutex>
#include <string>

#include "snmp/usm_keys.h"

namespace tarnwick {

// The keys (RFC 3414's Ku) side by side in one buffer, the authentication key first.
struct UsmKeys {
    explicit UsmKeys(std::string name) : user(std::move(name)) {}
    UsmKeys(const UsmKeys&) = delete;
    UsmKeys& operator=(const UsmKeys&) = delete;
    ~UsmKeys();

    const std::string user;
    SecretBuffer buffer{USM_AUTH_KU_LEN + USM_PRIV_KU_LEN};
    std::size_t authLength = 0;
    std::size_t privLength = 0;
    int failure = 0;  // the library's code when a key could not be derived

    const u_char* AuthKey() const { return buffer.Bytes().data(); }
    const u_char* PrivKey() const { return buffer.Bytes().data() + USM_AUTH_KU_LEN; }
};

namespace netsnmp {
namespace {

struct ProtocolOid {
    const oid* name;
    std::size_t length;
};

template <std::size_t N>
constexpr ProtocolOid Protocol(const oid (&name)[N]) {
    return {name, N};
}

ProtocolOid AuthProtocolOid(AuthProtocol protocol) {
    switch (protocol) {
        case AuthProtocol::Md5:
            return Protocol(usmHMACMD5AuthProtocol);
        case AuthProtocol::Sha:
            break;
        case AuthProtocol::Sha224:
            return Protocol(usmHMAC128SHA224AuthProtocol);
        case AuthProtocol::Sha256:
            return Protocol(usmHMAC192SHA256AuthProtocol);
        case AuthProtocol::Sha384:
            return Protocol(usmHMAC256SHA384AuthProtocol);
        case AuthProtocol::Sha512:
            return Protocol(usmHMAC384SHA512AuthProtocol);
    }
    return Protocol(usmHMACSHA1AuthProtocol);
}

ProtocolOid PrivProtocolOid(PrivProtocol protocol) {
    switch (protocol) {
        case PrivProtocol::Des:
            return Protocol(usmDESPrivProtocol);
        case PrivProtocol::Aes:
            break;
        case PrivProtocol::Aes192:
            return Protocol(usmAES192PrivProtocol);
        case PrivProtocol::Aes256:
            return Protocol(usmAES256PrivProtocol);
    }
    return Protocol(usmAESPrivProtocol);
}

// The user's key from its passphrase, in memory (RFC 3414's password to key); the library
// localizes it to the engine ID it discovers as the session opens.
int DeriveKey(const ProtocolOid& hash, std::string_view passphrase, u_char* key,
              std::size_t* length) {
    *length = USM_AUTH_KU_LEN;
    return generate_Ku(hash.name, static_cast<u_int>(hash.length),
                       reinterpret_cast<const u_char*>(passphrase.data()), passphrase.size(), key,
                       length);
}

void WipeKey(u_char* key, std::size_t length) {
    if (key != nullptr) {
        explicit_bzero(key, length);
    }
}

// Takes the user's entries out of the library's user list and frees them, their keys wiped
// first: the library's own zeroing before free() may be dropped by its compiler.
void ForgetLibraryUser(const std::string& name) {
    usmUser* user = usm_get_userList();
    while (user != nullptr) {
        usmUser* const next = user->next;
        if (user->secName != nullptr && name == user->secName) {
            usm_remove_user(user);
            user->next = user->prev = nullptr;  // else usm_free_user() relinks its old neighbours
            WipeKey(user->authKey, user->authKeyLen);
            WipeKey(user->authKeyKu, user->authKeyKuLen);
            WipeKey(user->privKey, user->privKeyLen);
            WipeKey(user->privKeyKu, user->privKeyKuLen);
            usm_free_user(user);
        }
        user = next;
    }
}

// SNMPv3's user-based security, which init_snmp() would start. Its configuration handlers are
// registered under the application's type, so that is named first; then comes our own engine ID
// (random, the library's default kind: no host name is looked up), and the hooks that reading
// the configuration would fire run without any file: random salts for the privacy protocols and
// the initial user that answers the engine ID discovery. The salts come from the SSL library,
// which reads its configuration as it starts: SNMPv1 and SNMPv2c never start it.
void StartUserSecurity() {
    static std::once_flag once;
    std::call_once(once, [] {
        netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_APPTYPE, "tarnwick");
        init_usm();
        setup_engineID(nullptr, nullptr);
        snmp_call_callbacks(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_POST_PREMIB_READ_CONFIG, nullptr);
    });
}

}  // namespace

int SetUpUser(netsnmp_session& setup, UsmSettings& usm) {
    StartUserSecurity();
    setup.version = SNMP_VERSION_3;
    setup.securityModel = SNMP_SEC_MODEL_USM;
    setup.securityName = usm.user.data();
    setup.securityNameLen = usm.user.size();
    setup.contextName = usm.context.data();
    setup.contextNameLen = usm.context.size();
    setup.securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    if (usm.level == SecurityLevel::NoAuthNoPriv) {
        return 0;
    }
    if (!usm.keys) {
        return SNMPERR_KT_NOT_AVAILABLE;  // settings made without DeriveUsmKeys()
    }
    const UsmKeys& keys = *usm.keys;
    if (keys.failure != 0) {
        return keys.failure;
    }
    const ProtocolOid auth = AuthProtocolOid(usm.authProtocol);
    setup.securityAuthProto = const_cast<oid*>(auth.name);
    setup.securityAuthProtoLen = auth.length;
    setup.securityLevel = SNMP_SEC_LEVEL_AUTHNOPRIV;
    memcpy(setup.securityAuthKey, keys.AuthKey(), keys.authLength);
    setup.securityAuthKeyLen = keys.authLength;
    if (usm.level == SecurityLevel::AuthNoPriv) {
        return 0;
    }
    const ProtocolOid priv = PrivProtocolOid(usm.privProtocol);
    setup.securityPrivProto = const_cast<oid*>(priv.name);
    setup.securityPrivProtoLen = priv.length;
    setup.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
    memcpy(setup.securityPrivKey, keys.PrivKey(), keys.privLength);
    setup.securityPrivKeyLen = keys.privLength;
    return 0;
}

}  // namespace netsnmp

UsmKeys::~UsmKeys() {
    netsnmp::ForgetLibraryUser(user);
}

std::shared_ptr<const UsmKeys> DeriveUsmKeys(const UsmSettings& usm, UsmPassphrases& passphrases) {
    if (usm.level == SecurityLevel::NoAuthNoPriv) {
        passphrases.buffer.Wipe();
        return nullptr;
    }
    auto keys = std::make_shared<UsmKeys>(usm.user);
    const auto hash = netsnmp::AuthProtocolOid(usm.authProtocol);
    u_char* const key = keys->buffer.Bytes().data();
    keys->failure = netsnmp::DeriveKey(hash, passphrases.Auth(), key, &keys->authLength);
    if (keys->failure == 0 && usm.level == SecurityLevel::AuthPriv) {
        // The privacy key with the authentication protocol's hash, as the standard says.
        keys->failure =
            netsnmp::DeriveKey(hash, passphrases.Priv(), key + USM_AUTH_KU_LEN, &keys->privLength);
    }
    passphrases.buffer.Wipe();
    return keys;
}

}  // namespace tarnwick
