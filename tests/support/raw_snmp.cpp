// Requests and responses of the raw client, and one UDP exchange on loopback.
#include "tests/support/raw_snmp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tarnwick::test {
namespace {

constexpr std::size_t kMaxDatagram = 65535;

// A UDP socket that closes itself.
class Socket {
public:
    Socket() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

std::vector<std::uint8_t> EncodeRequest(const RawRequest& request, std::int32_t requestId) {
    return EncodeMessage({static_cast<std::uint8_t>(request.type), request.community, requestId, 0,
                          0, Oid(request.oid), request.value.tag, request.value.bytes});
}

std::optional<RawResponse> DecodeResponse(std::span<const std::uint8_t> datagram) {
    const auto message = DecodeMessage(datagram);
    if (!message || message->pduType != static_cast<std::uint8_t>(PduType::Response)) {
        return std::nullopt;
    }
    return RawResponse{message->errorStatus,
                       message->errorIndex,
                       Dotted(message->oid),
                       {message->valueTag, message->value}};
}

RawExchange Exchange(std::uint16_t port, const RawRequest& request,
                     std::chrono::milliseconds wait) {
    static std::atomic<std::int32_t> nextRequestId = 1;
    Socket socket;
    sockaddr_in agent{};
    agent.sin_family = AF_INET;
    agent.sin_port = htons(port);
    agent.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // Connected, so an ICMP port unreachable comes back as ECONNREFUSED.
    if (socket.Fd() < 0 ||
        ::connect(socket.Fd(), reinterpret_cast<const sockaddr*>(&agent), sizeof agent) != 0) {
        return {};
    }
    const Bytes datagram = EncodeRequest(request, nextRequestId++);
    if (::send(socket.Fd(), datagram.data(), datagram.size(), 0) < 0) {
        return {errno == ECONNREFUSED ? Outcome::PortClosed : Outcome::NoAnswer, {}};
    }
    pollfd ready{socket.Fd(), POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) {
        return {};
    }
    Bytes answer(kMaxDatagram);
    const ssize_t received = ::recv(socket.Fd(), answer.data(), answer.size(), 0);
    if (received < 0) {
        return {errno == ECONNREFUSED ? Outcome::PortClosed : Outcome::NoAnswer, {}};
    }
    answer.resize(static_cast<std::size_t>(received));
    auto response = DecodeResponse(answer);
    if (!response) {
        return {Outcome::Garbled, {}};
    }
    return {Outcome::Answered, std::move(*response)};
}

}  // namespace tarnwick::test
