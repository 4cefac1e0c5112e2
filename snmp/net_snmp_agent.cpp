// Walks and SETs over Net-SNMP's single-session API, one session per walk or SET.
#include "snmp/net_snmp_agent.h"

#include <net-snmp/library/large_fd_set.h>
#include <string.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

#include "snmp/column_cursor.h"
#include "snmp/device_address.h"
#include "snmp/net_snmp_session.h"
#include "snmp/net_snmp_values.h"
#include "snmp/usm_user.h"

namespace tarnwick {
namespace netsnmp {

// The session's wait is served through this; the session must not outlive it.
OpenedSession OpenSession(const DeviceSettings& settings, const std::string& community,
                          WaitSlices& waiting, int retries) {
    // No request waits 0 ms or weeks, whatever the caller let through.
    if (!IsTimeoutInRange(settings.timeout)) {
        return {nullptr, netsnmp::MakeStatus(SNMPERR_RANGE)};
    }
    // Net-SNMP would send an empty text to the local host and read "1.2.3" as 1.2.0.3.
    const auto address =
        settings.pinnedAddress ? settings.pinnedAddress : ParseDeviceAddress(settings.ipAddress);
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
    setup.retries = retries;
    setup.myvoid = &waiting;  // the library leaves this pointer to us
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

namespace {

class LargeFdSet {
public:
    LargeFdSet() { netsnmp_large_fd_set_init(&m_set, FD_SETSIZE); }
    ~LargeFdSet() { netsnmp_large_fd_set_cleanup(&m_set); }
    LargeFdSet(const LargeFdSet&) = delete;
    LargeFdSet& operator=(const LargeFdSet&) = delete;
    netsnmp_large_fd_set* get() { return &m_set; }

private:
    netsnmp_large_fd_set m_set;
};

// What the library tells about one request, as its synchronous wait records it.
struct Answer {
    bool waiting = true;
    int result = STAT_ERROR;
    Pdu response;
};

int OnAnswer(int operation, netsnmp_session* session, int /*reqid*/, netsnmp_pdu* pdu,
             void* magic) {
    // The library's own retry, or its transport connecting, is no answer yet.
    if (operation == NETSNMP_CALLBACK_OP_RESEND || operation == NETSNMP_CALLBACK_OP_CONNECT) {
        return 1;
    }
    auto& answer = *static_cast<Answer*>(magic);
    answer.waiting = false;
    if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu &&
        pdu->command == SNMP_MSG_REPORT) {
        // An SNMPv3 report instead of the answer (a wrong passphrase, an unknown user): the
        // request failed, for the reason the library names, as its synchronous wait has it.
        session->s_snmp_errno = snmpv3_get_report_type(pdu);
        answer.result = STAT_ERROR;
    } else if (operation == NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE && pdu) {
        // The library frees its PDU when this returns.
        answer.response.reset(snmp_clone_pdu(pdu));
        answer.result = STAT_SUCCESS;
    } else if (operation == NETSNMP_CALLBACK_OP_TIMED_OUT) {
        answer.result = STAT_TIMEOUT;
    } else if (operation == NETSNMP_CALLBACK_OP_DISCONNECT) {
        session->s_snmp_errno = SNMPERR_ABORT;
    }
    return 1;
}

timeval ToTimeval(WaitSlices::Clock::duration duration) {
    const auto micro = std::chrono::ceil<std::chrono::microseconds>(duration).count();
    return {static_cast<time_t>(micro / 1000000), static_cast<suseconds_t>(micro % 1000000)};
}

// The library's own wait for an answer (select, read, time the attempts out: the session's
// timeout and retry stay exactly its own), cut into slices between which the caller is served.
// False when select() fails.
bool AwaitAnswer(void* session, const Answer& answer, WaitSlices& waiting) {
    LargeFdSet readable;
    while (answer.waiting) {
        int descriptors = 0;
        int block = NETSNMP_SNMPBLOCK;
        timeval untilTimeout{};
        snmp_sess_select_info2_flags(session, &descriptors, readable.get(), &untilTimeout, &block,
                                     NETSNMP_SELECT_NOALARMS);
        timeval* limit = block == 1 ? nullptr : &untilTimeout;
        timeval untilServed{};
        bool sliced = false;
        if (const auto due = waiting.UntilDue()) {
            untilServed = ToTimeval(*due);
            sliced = !limit || timercmp(&untilServed, limit, <);
            limit = sliced ? &untilServed : limit;
        }
        const int ready =
            netsnmp_large_fd_set_select(descriptors, readable.get(), nullptr, nullptr, limit);
        if (ready > 0) {
            snmp_sess_read2(session, readable.get());
        } else if (ready == 0 && sliced) {
            waiting.ServeIfDue();
        } else if (ready == 0) {
            snmp_sess_timeout(session);
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Takes the request: the library owns it once sent and frees it when the answer is in; one it
// could not send is freed here.
Reply Exchange(void* session, Pdu request) {
    netsnmp_session& opened = *snmp_sess_session(session);
    // A session opened without a caller to serve waits the library's way, in one piece.
    static WaitSlices unserved{{}};
    auto* served = static_cast<WaitSlices*>(opened.myvoid);
    WaitSlices& waiting = served ? *served : unserved;
    waiting.ServeIfDue();
    Answer answer;
    if (snmp_sess_async_send(session, request.get(), OnAnswer, &answer) != 0) {
        request.release();
        if (!AwaitAnswer(session, answer, waiting)) {
            opened.s_snmp_errno = SNMPERR_GENERR;
            answer.result = STAT_ERROR;
        }
    }
    Pdu response = std::move(answer.response);
    if (answer.result == STAT_TIMEOUT) {
        return {netsnmp::MakeStatus(SNMPERR_TIMEOUT), nullptr};
    }
    if (answer.result != STAT_SUCCESS || !response) {
        const int code = opened.s_snmp_errno;
        return {netsnmp::MakeStatus(code != 0 ? code : SNMPERR_GENERR), nullptr};
    }
    if (response->errstat != SNMP_ERR_NOERROR) {
        // The response stays: its error-index names the binding.
        const int errorStatus = static_cast<int>(response->errstat);
        return {netsnmp::MakeStatus(errorStatus), std::move(response)};
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

SetResult NotSent(SnmpStatus status) {
    return {SetOutcome::NotSent, std::move(status)};
}

GetResult GetFailed(int code, std::size_t failedBinding = 0) {
    return {netsnmp::MakeStatus(code), failedBinding, {}};
}

// The response's bindings must be the instances asked for, in order, each of a type a GET takes.
GetResult ValuesOf(const netsnmp_pdu& response, const std::vector<netsnmp::Oid>& names) {
    GetResult result;
    const netsnmp_variable_list* binding = response.variables;
    for (const netsnmp::Oid& name : names) {
        if (binding == nullptr) {
            return GetFailed(SNMPERR_NO_VARS);
        }
        auto value = netsnmp::ValueOf(*binding);
        if (netsnmp::ToOid(*binding) != name || !value) {
            return GetFailed(SNMPERR_VAR_TYPE, result.values.size() + 1);
        }
        result.values.push_back(std::move(*value));
        binding = binding->next_variable;
    }
    return result;
}

}  // namespace

WaitSlices::WaitSlices(WhileWaiting whileWaiting) : m_whileWaiting(std::move(whileWaiting)) {}

std::optional<WaitSlices::Clock::duration> WaitSlices::UntilDue() const {
    if (!m_whileWaiting) {
        return std::nullopt;
    }
    return std::max(m_due - Clock::now(), Clock::duration::zero());
}

void WaitSlices::ServeIfDue() {
    if (!m_whileWaiting || Clock::now() < m_due) {
        return;
    }
    m_whileWaiting();
    m_due = Clock::now() + kSlice;
}

NetSnmpAgent::NetSnmpAgent(WhileWaiting whileWaiting) : m_waiting(std::move(whileWaiting)) {}

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

WalkOutcome NetSnmpAgent::WalkRequests(const DeviceSettings& settings, const WalkRequest& request,
                                       WalkTable& table, std::size_t requests) {
    netsnmp::ColumnCursor cursor(request, table);
    if (cursor.Ended()) {
        return cursor.Outcome();
    }
    auto opened = OpenSession(settings, settings.readCommunity, m_waiting);
    if (!opened.session) {
        cursor.Abandon(std::move(opened.status));
    }
    for (; !cursor.Ended() && requests > 0; --requests) {
        auto reply = GetNext(opened.session.get(), cursor.Requested());
        if (!reply.status.ok()) {
            cursor.RequestFailed(std::move(reply.status));
            continue;
        }
        cursor.Take(reply.response->variables);
    }
    return cursor.Outcome();
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
    auto opened = OpenSession(settings, settings.readCommunity, m_waiting);
    if (!opened.session) {
        return {std::move(opened.status), 0, {}};
    }
    const Reply reply = Exchange(opened.session.get(), std::move(request));
    if (!reply.status.ok()) {
        const auto named = reply.response ? reply.response->errindex : 0;
        return {reply.status, named > 0 ? static_cast<std::size_t>(named) : 0U, {}};
    }
    return ValuesOf(*reply.response, names);
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
    // Without a response the agent may have applied the value and its answer been lost.
    if (reply.status.code < 0) {
        return {SetOutcome::NoResponse, std::move(reply.status)};
    }
    const long named = reply.response ? reply.response->errindex : 0;
    return {SetOutcome::Refused, std::move(reply.status),
            named > 0 ? static_cast<std::size_t>(named) : 0U};
}

}  // namespace tarnwick
