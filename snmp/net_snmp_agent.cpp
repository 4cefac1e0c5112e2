// Walks and SETs over Net-SNMP's single-session API, one session per walk or SET.
#include "snmp/net_snmp_agent.h"

#include <memory>
#include <utility>

#include "snmp/device_address.h"
#include "snmp/net_snmp_values.h"

namespace tarnwick {
namespace {

struct SessionCloser {
    void operator()(void* session) const { snmp_sess_close(session); }
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
};

OpenedSession OpenSession(const DeviceSettings& settings, const std::string& community) {
    // No request waits 0 ms or weeks, whatever the caller let through.
    if (!IsTimeoutInRange(settings.timeout)) {
        return {nullptr, netsnmp::MakeStatus(SNMPERR_RANGE)};
    }
    // Net-SNMP would send an empty text to the local host and read "1.2.3" as 1.2.0.3.
    const auto address = ParseDeviceAddress(settings.ipAddress);
    if (!address) {
        return {nullptr, netsnmp::MakeStatus(SNMPERR_BAD_ADDRESS)};
    }
    std::string peerName = address->peerName;
    std::string communityOctets = community;

    netsnmp_session setup;
    snmp_sess_init(&setup);
    setup.version = SNMP_VERSION_1;
    setup.peername = peerName.data();
    setup.community = reinterpret_cast<u_char*>(communityOctets.data());
    setup.community_len = communityOctets.size();
    setup.timeout = static_cast<long>(settings.timeout) * 1000L;  // ms to µs
    setup.retries = 1;
    // snmp_sess_open() copies the peer name and community, so the locals may go.
    Session session(snmp_sess_open(&setup));
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
        // The response stays: its error-index names the binding.
        const int errorStatus = static_cast<int>(response->errstat);
        return {netsnmp::MakeStatus(errorStatus), std::move(response)};
    }
    return {{}, std::move(response)};
}

Reply GetNext(void* session, const netsnmp::Oid& name) {
    Pdu request(snmp_pdu_create(SNMP_MSG_GETNEXT));
    if (!request || !netsnmp::AddNullBinding(*request, name)) {
        return {netsnmp::MakeStatus(SNMPERR_GENERR), nullptr};
    }
    return Exchange(session, std::move(request));
}

// GETNEXT must move forward; an agent answering with the same or a smaller OID would
// otherwise keep the walk going for ever, so such an answer ends it as a failure.
bool Advances(const netsnmp::Oid& received, const netsnmp::Oid& requested) {
    return snmp_oid_compare(received.data(), received.size(), requested.data(), requested.size()) >
           0;
}

std::string MakeRow(const std::string& printableOid, const netsnmp_variable_list& binding,
                    const WalkRequest& request) {
    auto value = netsnmp::PrintableValue(binding, request.octetForm);
    if (request.rowForm == RowForm::Value) {
        return value;
    }
    return printableOid + "-" + value;
}

WalkOutcome Failed(WalkOutcome::End end, SnmpStatus status) {
    return {end, std::move(status)};
}

SetResult NotSent(SnmpStatus status) {
    return {SetOutcome::NotSent, std::move(status)};
}

GetResult GetFailed(int code, std::size_t failedBinding = 0) {
    return {netsnmp::MakeStatus(code), failedBinding, {}};
}

// The response's bindings must be the instances asked for, in order, each an OCTET STRING.
GetResult OctetsOf(const netsnmp_pdu& response, const std::vector<netsnmp::Oid>& names) {
    GetResult result;
    const netsnmp_variable_list* binding = response.variables;
    for (const netsnmp::Oid& name : names) {
        if (binding == nullptr) {
            return GetFailed(SNMPERR_NO_VARS);
        }
        if (netsnmp::ToOid(*binding) != name || binding->type != ASN_OCTET_STR) {
            return GetFailed(SNMPERR_VAR_TYPE, result.octets.size() + 1);
        }
        const auto* bytes = reinterpret_cast<const char*>(binding->val.string);
        result.octets.emplace_back(bytes == nullptr ? std::string()
                                                    : std::string(bytes, binding->val_len));
        binding = binding->next_variable;
    }
    return result;
}

}  // namespace

WalkOutcome NetSnmpAgent::Walk(const DeviceSettings& settings, const WalkRequest& request,
                               WalkTable& table) {
    using End = WalkOutcome::End;
    const auto column = netsnmp::ToOid(request.columnOid);
    if (!column) {
        return Failed(End::FirstRequestFailed, netsnmp::MakeStatus(SNMPERR_UNKNOWN_OBJID));
    }
    auto opened = OpenSession(settings, settings.readCommunity);
    if (!opened.session) {
        return Failed(End::FirstRequestFailed, std::move(opened.status));
    }
    // The column test is a plain substring search: column 10 after column 1 counts as inside.
    const std::string columnText = netsnmp::PrintableOid(*column);
    netsnmp::Oid requested = *column;
    bool first = true;
    int resends = 0;
    std::size_t rows = 0;
    while (true) {
        auto reply = GetNext(opened.session.get(), requested);
        if (!reply.status.ok()) {
            if (first) {
                return Failed(End::FirstRequestFailed, std::move(reply.status));
            }
            // SNMPv1's answer past the end of the agent's MIB view.
            if (reply.status.code == SNMP_ERR_NOSUCHNAME) {
                return {};
            }
            if (resends == kMidWalkResends) {
                return Failed(End::GaveUpMidWalk, std::move(reply.status));
            }
            ++resends;
            continue;
        }
        first = false;
        resends = 0;
        const netsnmp_variable_list* binding = reply.response->variables;
        if (binding == nullptr) {
            return Failed(End::BadAnswer, netsnmp::MakeStatus(SNMPERR_NO_VARS));
        }
        auto received = netsnmp::ToOid(*binding);
        if (!Advances(received, requested)) {
            return Failed(End::BadAnswer, netsnmp::MakeStatus(SNMPERR_OID_NONINCREASING));
        }
        const std::string printableOid = netsnmp::PrintableOid(received);
        if (printableOid.find(columnText) == std::string::npos) {
            return {};
        }
        // A column of exactly the bound still ends well: only a row past it is a failure.
        if (rows == kMaxWalkRows) {
            return Failed(End::TooManyRows, netsnmp::MakeStatus(SNMPERR_TOO_LONG));
        }
        table.push_back(MakeRow(printableOid, *binding, request));
        ++rows;
        requested = std::move(received);
    }
}

GetResult NetSnmpAgent::Get(const DeviceSettings& settings, const std::vector<std::string>& oids) {
    Pdu request(snmp_pdu_create(SNMP_MSG_GET));
    if (!request) {
        return GetFailed(SNMPERR_GENERR);
    }
    std::vector<netsnmp::Oid> names;
    for (const std::string& oid : oids) {
        auto name = netsnmp::ToOid(oid);
        if (!name) {
            return GetFailed(SNMPERR_UNKNOWN_OBJID, names.size() + 1);
        }
        if (!netsnmp::AddNullBinding(*request, *name)) {
            return GetFailed(SNMPERR_GENERR);
        }
        names.push_back(std::move(*name));
    }
    auto opened = OpenSession(settings, settings.readCommunity);
    if (!opened.session) {
        return {std::move(opened.status), 0, {}};
    }
    const Reply reply = Exchange(opened.session.get(), std::move(request));
    if (!reply.status.ok()) {
        const auto named = reply.response ? reply.response->errindex : 0;
        return {reply.status, named > 0 ? static_cast<std::size_t>(named) : 0U, {}};
    }
    return OctetsOf(*reply.response, names);
}

SetResult NetSnmpAgent::Set(const DeviceSettings& settings, std::string_view oid,
                            const SetValue& value) {
    const auto name = netsnmp::ToOid(oid);
    if (!name) {
        return NotSent(netsnmp::MakeStatus(SNMPERR_UNKNOWN_OBJID));
    }
    auto opened = OpenSession(settings, settings.writeCommunity);
    if (!opened.session) {
        return NotSent(std::move(opened.status));
    }
    Pdu request(snmp_pdu_create(SNMP_MSG_SET));
    if (!request || !netsnmp::AddValueBinding(*request, *name, value)) {
        return NotSent(netsnmp::MakeStatus(SNMPERR_GENERR));
    }
    Reply reply = Exchange(opened.session.get(), std::move(request));
    if (reply.status.ok()) {
        return {};
    }
    // Without a response the agent may have applied the value and its answer been lost.
    const bool answered = reply.status.code > 0;
    return {answered ? SetOutcome::Refused : SetOutcome::NoResponse, std::move(reply.status)};
}

}  // namespace tarnwick
