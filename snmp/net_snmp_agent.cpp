// Walks and SETs over Net-SNMP's single-session API, one session per walk or SET.
#include "snmp/net_snmp_agent.h"

#include <string.h>

#include <memory>
#include <utility>

#include "snmp/column_cursor.h"
#include "snmp/device_address.h"
#include "snmp/net_snmp_session.h"
#include "snmp/net_snmp_values.h"
#include "snmp/usm_user.h"

namespace tarnwick {
namespace netsnmp {

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
