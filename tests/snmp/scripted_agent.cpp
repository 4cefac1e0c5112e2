// A polling UDP loop that answers SNMPv1 requests from a script.
#include "tests/snmp/scripted_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <span>
#include <stdexcept>

namespace tarnwick::test {
namespace {

constexpr int kPollMilliseconds = 20;
constexpr std::uint8_t kGetResponse = 0xA2;

std::optional<ReceivedRequest> DecodeRequest(std::span<const std::uint8_t> datagram) {
    auto message = DecodeMessage(datagram);
    if (!message) {
        return std::nullopt;
    }
    return ReceivedRequest{message->requestId,
                           message->pduType,
                           std::move(message->community),
                           std::move(message->oid),
                           message->valueTag,
                           {message->value.begin(), message->value.end()},
                           std::move(message->moreBindings),
                           message->version,
                           message->errorIndex};
}

// An error echoes the request's binding; otherwise the script's binding with its OCTET STRING.
Bytes EncodeResponse(const ReceivedRequest& request, const ScriptedAnswer& answer) {
    const bool failed = answer.errorStatus != 0;
    const std::string& value = failed ? request.value : answer.octets;
    return EncodeMessage({kGetResponse, request.community, request.requestId, answer.errorStatus,
                          failed ? std::max<std::int64_t>(answer.errorIndex, 1) : 0,
                          failed ? request.oid : answer.oid,
                          failed ? request.valueTag : answer.valueTag,
                          Bytes(value.begin(), value.end()), answer.noBinding,
                          failed ? request.moreBindings : answer.moreBindings, request.version});
}

}  // namespace

ScriptedAgent::ScriptedAgent(Script script) : m_script(std::move(script)) {
    m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("scripted agent: no loopback socket");
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

ScriptedAgent::~ScriptedAgent() {
    m_stop = true;
    m_thread.join();
    ::close(m_socket);
}

std::string ScriptedAgent::Address() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

std::vector<ReceivedRequest> ScriptedAgent::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedAgent::Serve() {
    int number = 0;
    while (!m_stop) {
        pollfd ready{m_socket, POLLIN, 0};
        if (::poll(&ready, 1, kPollMilliseconds) <= 0) {
            continue;
        }
        std::uint8_t buffer[4096];
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        const auto received = ::recvfrom(m_socket, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&peer), &peerLength);
        if (received <= 0) {
            continue;
        }
        const auto request = DecodeRequest(std::span(buffer, std::size_t(received)));
        if (!request) {
            continue;
        }
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(*request);
        }
        const ScriptedAnswer answer = m_script(number++, *request);
        if (answer.silent) {
            continue;
        }
        const Bytes response = EncodeResponse(*request, answer);
        ::sendto(m_socket, response.data(), response.size(), 0, reinterpret_cast<sockaddr*>(&peer),
                 peerLength);
    }
}

}  // namespace tarnwick::test
