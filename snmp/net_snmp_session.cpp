// One Net-SNMP session and the exchange of one request over it: the library's own wait, cut into
// slices between which the caller is served.
#include "snmp/net_snmp_session.h"

#include <net-snmp/library/large_fd_set.h>
#include <string.h>

#include <cerrno>
#include <utility>

#include "snmp/device_address.h"
#include "snmp/usm_user.h"

namespace tarnwick::netsnmp {

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

    std::unique_lock lock(SharedStateMutex());
    netsnmp_session setup;
    snmp_sess_init(&setup);
    setup.peername = peerName.data();
    if (settings.version == SnmpVersion::V3) {
        const int code = SetUpUser(setup, usm);
        if (code != 0) {
            lock.unlock();
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
    lock.unlock();
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
    bool reported = false;
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
        answer.reported = true;
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
        return {netsnmp::MakeStatus(code != 0 ? code : SNMPERR_GENERR), nullptr, answer.reported};
    }
    if (response->errstat != SNMP_ERR_NOERROR) {
        // The response stays: its error-index names the binding.
        const int errorStatus = static_cast<int>(response->errstat);
        return {netsnmp::MakeStatus(errorStatus), std::move(response)};
    }
    return {{}, std::move(response)};
}

}  // namespace tarnwick::netsnmp
