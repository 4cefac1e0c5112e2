// A scripted SNMPv1 (or SNMPv2c) agent on 127.0.0.1 for the agent behaviours the simulated switch
// cannot show (column 10 after column 1, an answer that does not advance, a lost request or reply,
// a refusal, silence) and for counting requests. Each answer is the script's: a script with state
// can apply a SET and lose its reply.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ber.h"

namespace tarnwick::test {

struct ScriptedAnswer {
    bool silent = false;  // no answer at all
    int errorStatus = 0;
    SubIds oid{};          // the binding sent back
    std::string octets{};  // its OCTET STRING value
    bool noBinding = false;
    std::vector<VarBind> moreBindings{};      // after the first, as they are sent back
    std::int64_t errorIndex = 0;              // with an error-status: 0 names the first binding
    std::uint8_t valueTag = kBerOctetString;  // the first binding's type
};

// One received request: what the walk or SET under test sent.
struct ReceivedRequest {
    std::int64_t requestId = 0;
    std::uint8_t pduType = 0;  // 0xA1 GETNEXT, 0xA3 SET
    std::string community;
    SubIds oid;
    std::uint8_t valueTag = 0;            // 0x05 NULL, 0x04 OCTET STRING, 0x02 INTEGER
    std::string value;                    // the value's content octets
    std::vector<VarBind> moreBindings{};  // after the first (a GET of several instances)
    std::int64_t version = 0;             // 0 SNMPv1, 1 SNMPv2c
    std::int64_t maxRepetitions = 0;      // a GETBULK's (0xA5)
};

class ScriptedAgent {
public:
    // Called on the agent's thread with the request number (0 first) and the request.
    using Script = std::function<ScriptedAnswer(int number, const ReceivedRequest& request)>;

    explicit ScriptedAgent(Script script);
    ~ScriptedAgent();  // stops and joins the agent thread
    ScriptedAgent(const ScriptedAgent&) = delete;
    ScriptedAgent& operator=(const ScriptedAgent&) = delete;

    std::string Address() const;  // "127.0.0.1:port"
    // Every datagram received so far; a library resend repeats its request id.
    std::vector<ReceivedRequest> Requests() const;

private:
    void Serve();

    Script m_script;
    int m_socket = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<ReceivedRequest> m_requests;
    std::thread m_thread;
};

}  // namespace tarnwick::test
