// Walks and SETs over Net-SNMP's single-session API, one session per walk or SET.
#include "snmp/net_snmp_agent.h"

#include <limits>
#include <thread>
#include <utility>

#include "snmp/column_cursor.h"
#include "snmp/column_reader.h"
#include "snmp/net_snmp_session.h"
#include "snmp/net_snmp_values.h"

namespace tarnwick {
namespace {

using netsnmp::Exchange;
using netsnmp::OpenSession;
using netsnmp::Pdu;
using netsnmp::Reply;

Reply SendGetNext(void* session, const netsnmp::Oid& name) {
    Pdu request(snmp_pdu_create(SNMP_MSG_GETNEXT));
    if (!request || !netsnmp::AddNullBinding(*request, name)) {
        return {netsnmp::MakeStatus(SNMPERR_GENERR), nullptr};
    }
    return Exchange(session, std::move(request));
}

SetResult NotSent(SnmpStatus status) {
    return {SetOutcome::NotSent, std::move(status)};
}

GetResult GetFailed(int code, std::size_t failedBinding = 0) {
    return {netsnmp::MakeStatus(code), failedBinding, {}, {}};
}

// SNMPv2's markers in place of a GET's value: the agent has no such object, or no such instance.
bool IsAbsent(const netsnmp_variable_list& binding) {
    return binding.type == SNMP_NOSUCHOBJECT || binding.type == SNMP_NOSUCHINSTANCE;
}

// The response's bindings must be the instances asked for, in order, each of a type a GET takes
// or marked absent.
GetResult ValuesOf(const netsnmp_pdu& response, const std::vector<netsnmp::Oid>& names) {
    GetResult result;
    const netsnmp_variable_list* binding = response.variables;
    for (const netsnmp::Oid& name : names) {
        if (binding == nullptr) {
            return GetFailed(SNMPERR_NO_VARS);
        }
        const std::size_t number = result.values.size() + 1;
        auto value = IsAbsent(*binding) ? SnmpValue(OctetString{}) : netsnmp::ValueOf(*binding);
        if (netsnmp::ToOid(*binding) != name || !value) {
            return GetFailed(SNMPERR_VAR_TYPE, number);
        }
        if (IsAbsent(*binding)) {
            result.absent.push_back(number);
        }
        result.values.push_back(std::move(*value));
        binding = binding->next_variable;
    }
    if (!result.absent.empty()) {
        // As SNMPv1 says it, so that every caller that knows noSuchName understands.
        result.status = netsnmp::MakeStatus(SNMP_ERR_NOSUCHNAME);
        result.failedBinding = result.absent.front();
    }
    return result;
}

// A request of the type with one binding without value per OID; on a malformed OID, the status
// and the binding.
struct Asked {
    Pdu request;
    std::vector<netsnmp::Oid> names;
    SnmpStatus status;
    std::size_t failedBinding = 0;
};

Asked Ask(int type, const std::vector<std::string>& oids) {
    Asked asked{Pdu(snmp_pdu_create(type)), {}, {}, 0};
    if (!asked.request) {
        asked.status = netsnmp::MakeStatus(SNMPERR_GENERR);
        return asked;
    }
    for (const std::string& oid : oids) {
        auto name = netsnmp::ToOid(oid);
        if (!name) {
            return {
                nullptr, {}, netsnmp::MakeStatus(SNMPERR_UNKNOWN_OBJID), asked.names.size() + 1};
        }
        if (!netsnmp::AddNullBinding(*asked.request, *name)) {
            return {nullptr, {}, netsnmp::MakeStatus(SNMPERR_GENERR), 0};
        }
        asked.names.push_back(std::move(*name));
    }
    return asked;
}

// The request's answer over a session of its own with the read community.
Reply Read(const DeviceSettings& settings, WaitSlices& waiting, Pdu request) {
    auto opened = OpenSession(settings, settings.readCommunity, waiting);
    if (!opened.session) {
        return {std::move(opened.status), nullptr};
    }
    return Exchange(opened.session.get(), std::move(request));
}

// The binding the error-status names, from 1; 0 when it names none.
std::size_t NamedBinding(const Reply& reply) {
    const long named = reply.response ? reply.response->errindex : 0;
    return named > 0 ? static_cast<std::size_t>(named) : 0U;
}

}  // namespace

NetSnmpAgent::NetSnmpAgent(WhileWaiting whileWaiting, std::size_t maxReadOctets)
    : m_waiting(std::move(whileWaiting)), m_maxReadOctets(maxReadOctets) {}

void NetSnmpAgent::WaitOneTimeout(const DeviceSettings& settings) {
    const auto end = WaitSlices::Clock::now() + std::chrono::milliseconds(settings.timeout);
    for (auto now = WaitSlices::Clock::now(); now < end; now = WaitSlices::Clock::now()) {
        const auto due = m_waiting.UntilDue();
        std::this_thread::sleep_for(due ? std::min(*due, end - now) : end - now);
        m_waiting.ServeIfDue();
    }
}

WalkOutcome NetSnmpAgent::Walk(const DeviceSettings& settings, const WalkRequest& request,
                               WalkTable& table) {
    return WalkRequests(settings, request, table, std::numeric_limits<std::size_t>::max());
}

WalkOutcome NetSnmpAgent::FirstRow(const DeviceSettings& settings, const WalkRequest& request,
                                   WalkTable& table) {
    return FirstRowOutcome(WalkRequests(settings, request, table, 1));
}

std::vector<WalkOutcome> NetSnmpAgent::WalkColumns(const DeviceSettings& settings,
                                                   std::span<const ColumnToWalk> columns) {
    return netsnmp::ReadTogether(settings, columns, m_waiting, m_maxReadOctets);
}

WalkOutcome NetSnmpAgent::WalkRequests(const DeviceSettings& settings, const WalkRequest& request,
                                       WalkTable& table, std::size_t requests) {
    netsnmp::ReadBudget budget(m_maxReadOctets);
    const ColumnToWalk column{request, &table, nullptr};
    netsnmp::ColumnCursor cursor(column, budget);
    if (cursor.Ended()) {
        return cursor.Outcome();
    }
    auto opened = OpenSession(settings, settings.readCommunity, m_waiting);
    if (!opened.session) {
        cursor.Abandon(std::move(opened.status));
    }
    for (; !cursor.Ended() && requests > 0; --requests) {
        auto reply = SendGetNext(opened.session.get(), cursor.Requested());
        if (!reply.status.ok()) {
            cursor.RequestFailed(std::move(reply.status));
            continue;
        }
        cursor.Take(reply.response->variables);
    }
    return cursor.Outcome();
}

GetResult NetSnmpAgent::Get(const DeviceSettings& settings, const std::vector<std::string>& oids) {
    Asked asked = Ask(SNMP_MSG_GET, oids);
    if (!asked.request) {
        return {std::move(asked.status), asked.failedBinding, {}, {}};
    }
    const Reply reply = Read(settings, m_waiting, std::move(asked.request));
    if (!reply.status.ok()) {
        const std::size_t named = NamedBinding(reply);
        const bool absent =
            reply.status.code == SNMP_ERR_NOSUCHNAME && named >= 1 && named <= oids.size();
        return {reply.status, named, {}, absent ? std::vector{named} : std::vector<std::size_t>{}};
    }
    return ValuesOf(*reply.response, asked.names);
}

GetNextResult NetSnmpAgent::GetNext(const DeviceSettings& settings,
                                    const std::vector<std::string>& oids) {
    Asked asked = Ask(SNMP_MSG_GETNEXT, oids);
    if (!asked.request) {
        return {std::move(asked.status), asked.failedBinding, {}};
    }
    const Reply reply = Read(settings, m_waiting, std::move(asked.request));
    if (!reply.status.ok()) {
        return {reply.status, NamedBinding(reply), {}};
    }
    GetNextResult result;
    const netsnmp_variable_list* binding = reply.response->variables;
    for (std::size_t i = 0; i < oids.size(); ++i, binding = binding->next_variable) {
        if (binding == nullptr) {
            return {netsnmp::MakeStatus(SNMPERR_NO_VARS), 0, {}};
        }
        if (binding->type == SNMP_ENDOFMIBVIEW) {
            result.bindings.push_back({oids[i], std::nullopt});
        } else {
            result.bindings.push_back(
                {netsnmp::PrintableOid(netsnmp::ToOid(*binding)), netsnmp::ValueOf(*binding)});
        }
    }
    return result;
}

SetResult NetSnmpAgent::Set(const DeviceSettings& settings, std::string_view oid,
                            const SnmpValue& value) {
    const VarBinding binding{std::string(oid), value};
    return SetTogether(settings, {&binding, 1});
}

SetResult NetSnmpAgent::SetTogether(const DeviceSettings& settings,
                                    std::span<const VarBinding> bindings) {
    Pdu request(snmp_pdu_create(SNMP_MSG_SET));
    if (!request) {
        return NotSent(netsnmp::MakeStatus(SNMPERR_GENERR));
    }
    for (const VarBinding& binding : bindings) {
        const auto name = netsnmp::ToOid(binding.oid);
        if (!name) {
            return NotSent(netsnmp::MakeStatus(SNMPERR_UNKNOWN_OBJID));
        }
        if (!netsnmp::AddValueBinding(*request, *name, binding.value)) {
            return NotSent(netsnmp::MakeStatus(SNMPERR_GENERR));
        }
    }
    auto opened = OpenSession(settings, settings.writeCommunity, m_waiting, netsnmp::kWriteRetries);
    if (!opened.session) {
        return NotSent(std::move(opened.status));
    }
    Reply reply = Exchange(opened.session.get(), std::move(request));
    if (reply.status.ok()) {
        return {};
    }
    // Without a response the agent may have applied the value and its answer been lost; a
    // report is the agent's answer that it processed nothing.
    if (reply.status.code < 0 && !reply.reported) {
        return {SetOutcome::NoResponse, std::move(reply.status)};
    }
    return {SetOutcome::Refused, std::move(reply.status), NamedBinding(reply)};
}

}  // namespace tarnwick
