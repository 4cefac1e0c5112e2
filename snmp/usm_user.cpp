// The SNMPv3 user of a session: its names, protocols and keys derived from its passphrases.
#include "snmp/usm_user.h"

namespace tarnwick::netsnmp {
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
int DeriveKey(const ProtocolOid& hash, const std::string& passphrase, u_char* key,
              std::size_t* length) {
    *length = USM_AUTH_KU_LEN;
    return generate_Ku(hash.name, static_cast<u_int>(hash.length),
                       reinterpret_cast<const u_char*>(passphrase.data()), passphrase.size(), key,
                       length);
}

}  // namespace

int SetUpUser(netsnmp_session& setup, UsmSettings& usm) {
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
    const ProtocolOid auth = AuthProtocolOid(usm.authProtocol);
    setup.securityAuthProto = const_cast<oid*>(auth.name);
    setup.securityAuthProtoLen = auth.length;
    setup.securityLevel = SNMP_SEC_LEVEL_AUTHNOPRIV;
    if (const int code =
            DeriveKey(auth, usm.authPassphrase, setup.securityAuthKey, &setup.securityAuthKeyLen)) {
        return code;
    }
    if (usm.level == SecurityLevel::AuthNoPriv) {
        return 0;
    }
    const ProtocolOid priv = PrivProtocolOid(usm.privProtocol);
    setup.securityPrivProto = const_cast<oid*>(priv.name);
    setup.securityPrivProtoLen = priv.length;
    setup.securityLevel = SNMP_SEC_LEVEL_AUTHPRIV;
    // The privacy key is derived with the authentication protocol's hash, as the standard says.
    return DeriveKey(auth, usm.privPassphrase, setup.securityPrivKey, &setup.securityPrivKeyLen);
}

}  // namespace tarnwick::netsnmp
