// Minimal BER for SNMPv1 messages and a polling UDP loop that answers from a script.
#include "scripted_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <stdexcept>
#include <string_view>

namespace tarnwick::testing {
namespace {

constexpr int kPollMilliseconds = 20;

struct Tlv {
    std::uint8_t tag = 0;
    std::string_view content;
};

// Reads one TLV from the front of data and removes it; nothing when malformed.
std::optional<Tlv> TakeTlv(std::string_view& data) {
    if (data.size() < 2) {
        return std::nullopt;
    }
    const auto tag = static_cast<std::uint8_t>(data[0]);
    std::size_t length = static_cast<std::uint8_t>(data[1]);
    std::size_t header = 2;
    if (length & 0x80) {
        const std::size_t count = length & 0x7F;
        if (count == 0 || count > 2 || data.size() < 2 + count) {
            return std::nullopt;
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = length << 8 | static_cast<std::uint8_t>(data[2 + i]);
        }
        header += count;
    }
    if (data.size() < header + length) {
        return std::nullopt;
    }
    Tlv tlv{tag, data.substr(header, length)};
    data.remove_prefix(header + length);
    return tlv;
}

std::int64_t DecodeInteger(std::string_view content) {
    std::int64_t value = content.empty() || static_cast<std::int8_t>(content[0]) >= 0 ? 0 : -1;
    for (const char c : content) {
        value = static_cast<std::int64_t>(static_cast<std::uint64_t>(value) << 8 |
                                          static_cast<std::uint8_t>(c));
    }
    return value;
}

SubIds DecodeOid(std::string_view content) {
    SubIds subIds;
    std::uint32_t value = 0;
    for (const char c : content) {
        value = value << 7 | (static_cast<std::uint8_t>(c) & 0x7F);
        if (static_cast<std::uint8_t>(c) & 0x80) {
            continue;
        }
        if (subIds.empty()) {
            subIds.push_back(value < 80 ? value / 40 : 2);
            subIds.push_back(value - subIds[0] * 40);
        } else {
            subIds.push_back(value);
        }
        value = 0;
    }
    return subIds;
}

std::string EncodeTlv(std::uint8_t tag, std::string_view content) {
    std::string out(1, static_cast<char>(tag));
    if (content.size() < 0x80) {
        out += static_cast<char>(content.size());
    } else {
        out += '\x82';
        out += static_cast<char>(content.size() >> 8);
        out += static_cast<char>(content.size() & 0xFF);
    }
    out += content;
    return out;
}

std::string EncodeInteger(std::int64_t value) {
    std::string content;
    do {
        content.insert(content.begin(), static_cast<char>(value & 0xFF));
        value >>= 8;
    } while (!((value == 0 && !(content[0] & 0x80)) || (value == -1 && (content[0] & 0x80))));
    return EncodeTlv(0x02, content);
}

std::string EncodeOid(const SubIds& subIds) {
    std::string content;
    auto append = [&content](std::uint32_t value) {
        std::string bytes(1, static_cast<char>(value & 0x7F));
        while (value >>= 7) {
            bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
        }
        content += bytes;
    };
    append(subIds.at(0) * 40 + subIds.at(1));
    for (std::size_t i = 2; i < subIds.size(); ++i) {
        append(subIds[i]);
    }
    return EncodeTlv(0x06, content);
}

std::optional<ReceivedRequest> DecodeRequest(std::string_view datagram) {
    auto message = TakeTlv(datagram);
    if (!message) {
        return std::nullopt;
    }
    std::string_view body = message->content;
    const auto version = TakeTlv(body);
    const auto community = TakeTlv(body);
    const auto pdu = TakeTlv(body);
    if (!version || !community || !pdu) {
        return std::nullopt;
    }
    std::string_view fields = pdu->content;
    const auto requestId = TakeTlv(fields);
    TakeTlv(fields);
    TakeTlv(fields);
    auto bindings = TakeTlv(fields);
    if (!requestId || !bindings) {
        return std::nullopt;
    }
    auto binding = TakeTlv(bindings->content);
    if (!binding) {
        return std::nullopt;
    }
    const auto name = TakeTlv(binding->content);
    const auto value = TakeTlv(binding->content);
    if (!name || !value) {
        return std::nullopt;
    }
    return ReceivedRequest{
        DecodeInteger(requestId->content), pdu->tag,   std::string(community->content),
        DecodeOid(name->content),          value->tag, std::string(value->content)};
}

std::string EncodeResponse(const ReceivedRequest& request, const ScriptedAnswer& answer) {
    const std::string binding =
        answer.errorStatus != 0
            ? EncodeOid(request.oid) + EncodeTlv(request.valueTag, request.value)
            : EncodeOid(answer.oid) + EncodeTlv(0x04, answer.octets);
    const std::string pdu = EncodeInteger(request.requestId) + EncodeInteger(answer.errorStatus) +
                            EncodeInteger(answer.errorStatus != 0 ? 1 : 0) +
                            EncodeTlv(0x30, EncodeTlv(0x30, binding));
    return EncodeTlv(0x30,
                     EncodeInteger(0) + EncodeTlv(0x04, request.community) + EncodeTlv(0xA2, pdu));
}

}  // namespace

SubIds Oid(std::string_view dotted) {
    SubIds subIds;
    while (!dotted.empty()) {
        const auto dot = dotted.find('.');
        subIds.push_back(
            static_cast<std::uint32_t>(std::stoul(std::string(dotted.substr(0, dot)))));
        dotted = dot == std::string_view::npos ? std::string_view{} : dotted.substr(dot + 1);
    }
    return subIds;
}

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
        char buffer[4096];
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        const auto received = ::recvfrom(m_socket, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&peer), &peerLength);
        if (received <= 0) {
            continue;
        }
        const auto request = DecodeRequest(std::string_view(buffer, std::size_t(received)));
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
        const std::string response = EncodeResponse(*request, answer);
        ::sendto(m_socket, response.data(), response.size(), 0, reinterpret_cast<sockaddr*>(&peer),
                 peerLength);
    }
}

}  // namespace tarnwick::testing
