// Walks and SETs over Net-SNMP's single-session API, one session per walk or SET.
#include "snmp/net_snmp_agent.h"

#include <string.h>

#include <memory>
#include <utility>

#include "snmp/column_cursor.h"
#include "snmp/device_address.h"
#include "snmp/net_snmp_session.h"
#include "snmp/net_snmp_values.h"

namespace tarnwick {
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
int DeriveKey(const ProtocolOid& hash, const std::string& passphrase, u_char* key,
              std::size_t* length) {
    *length = USM_AUTH_KU_LEN;
    std::string octets = passphrase;
    return generate_Ku(hash.name, static_cast<u_int>(hash.length),
                       reinterpret_cast<u_char*>(octets.data()), octets.size(), key, length);
}

// The USM part of an SNMPv3 session; the library copies the names and protocol OIDs, so the
// user's strings may go once the session is open. A failure code, or 0.
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

}  // namespace

OpenedSession OpenSession(const DeviceSettings& settings, const std::string& community) {
    // Net-SNMP would send an empty text to the local host and read "1.2.3" as 1.2.0.3.
    const auto address = ParseDeviceAddress(settings.ipAddress);
    if (!address) {
        return {nullptr, netsnmp::MakeStatus(SNMPERR_BAD_ADDRESS)};
    }
    std::string peerName = address->peerName;
    std::string communityOctets = community;
    UsmSettings usm = settings.usm;

    netsnmp_session setup;
    snmp_sess_init(&setup);
    setup.peername = peerName.data();
    if (settings.version == SnmpVersion::V3) {
        const int code = SetUpUser(setup, usm);
        if (code != 0) {
            return {nullptr, netsnmp::MakeStatus(code)};
        }
    } else {
        setup.version = settings.version == SnmpVersion::V2c ? SNMP_VERSION_2c : SNMP_VERSION_1;
        setup.community = reinterpret_cast<u_char*>(communityOctets.data());
        setup.community_len = communityOctets.size();
    }
    setup.timeout = static_cast<long>(settings.timeout) * 1000L;  // ms to µs
    setup.retries = 1;
    // snmp_sess_open() copies the peer name, community and user, so the locals may go. For
    // SNMPv3 it also discovers the agent's engine ID (one exchange) and localizes the keys.
    Session session(snmp_sess_open(&setup));
    explicit_bzero(setup.securityAuthKey, sizeof setup.securityAuthKey);
    explicit_bzero(setup.securityPrivKey, sizeof setup.securityPrivKey);
    if (!session) {
        const int code = setup.s_snmp_errno != 0 ? setup.s_snmp_errno : SNMPERR_GENERR;
        return {nullptr, netsnmp::MakeStatus(code)};
    }
    return {std::move(session), {}};
}

// Takes the request: snmp_sess_synch_response() frees it on every path, sent or not (only a
// session handle it cannot resolve would leave it to us, and ours is always open).
Reply Exchange(void* session, Pdu request) {
    netsnmp_pdu* received = nullptr;
    const int result = snmp_sess_synch_response(session, request.release(), &received);
    Pdu response(received);
    if (result == STAT_TIMEOUT) {
        return {netsnmp::MakeStatus(SNMPERR_TIMEOUT), nullptr};
    }
    if (result != STAT_SUCCESS || !response) {
        const int code = snmp_sess_session(session)->s_snmp_errno;
        return {netsnmp::MakeStatus(code != 0 ? code : SNMPERR_GENERR), nullptr};
    }
    if (response->errstat != SNMP_ERR_NOERROR) {
        return {MakeStatus(static_cast<int>(response->errstat)), nullptr, response->errindex};
    }
    return {{}, std::move(response)};
}

}  // namespace netsnmp

namespace {

using netsnmp::Exchange;
using netsnmp::OpenSession;
using netsnmp::Pdu;
using netsnmp::Reply;

Reply GetNext(void* session, const netsnmp::Oid& name) {
    Pdu request(snmp_pdu_create(SNMP_MSG_GETNEXT));
    if (!request || !netsnmp::AddNullBinding(*request, name)) {
        return {netsnmp::MakeStatus(SNMPERR_GENERR), nullptr};
    }
    return Exchange(session, std::move(request));
}

}  // namespace

WalkOutcome NetSnmpAgent::Walk(const DeviceSettings& settings, const WalkRequest& request,
                               WalkTable& table) {
    netsnmp::ColumnCursor cursor(request, table);
    if (cursor.Ended()) {
        return cursor.Outcome();
    }
    auto opened = OpenSession(settings, settings.readCommunity);
    if (!opened.session) {
        cursor.Abandon(std::move(opened.status));
    }
    while (!cursor.Ended()) {
        auto reply = GetNext(opened.session.get(), cursor.Requested());
        if (!reply.status.ok()) {
            cursor.RequestFailed(std::move(reply.status));
            continue;
        }
        cursor.Take(reply.response->variables);
    }
    return cursor.Outcome();
}

SnmpStatus NetSnmpAgent::Set(const DeviceSettings& settings, std::string_view oid,
                             const SetValue& value) {
    const auto name = netsnmp::ToOid(oid);
    if (!name) {
        return netsnmp::MakeStatus(SNMPERR_UNKNOWN_OBJID);
    }
    auto opened = OpenSession(settings, settings.writeCommunity);
    if (!opened.session) {
        return std::move(opened.status);
    }
    Pdu request(snmp_pdu_create(SNMP_MSG_SET));
    if (!request || !netsnmp::AddValueBinding(*request, *name, value)) {
        return netsnmp::MakeStatus(SNMPERR_GENERR);
    }
    return Exchange(opened.session.get(), std::move(request)).status;
}

}  // namespace tarnwick
