// BER encoding and decoding of single-binding SNMPv1 messages, and one UDP exchange on loopback.
#include "raw_snmp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>

namespace tarnwick::testing {
namespace {

constexpr std::uint8_t kBerSequence = 0x30;
constexpr std::uint8_t kBerOid = 0x06;
constexpr std::int64_t kSnmpV1 = 0;
constexpr std::size_t kMaxDatagram = 65535;

using Bytes = std::vector<std::uint8_t>;

void AppendLength(Bytes& out, std::size_t length) {
    if (length < 0x80) {
        out.push_back(static_cast<std::uint8_t>(length));
        return;
    }
    Bytes digits;
    for (; length > 0; length >>= 8) {
        digits.insert(digits.begin(), static_cast<std::uint8_t>(length & 0xFF));
    }
    out.push_back(static_cast<std::uint8_t>(0x80 | digits.size()));
    out.insert(out.end(), digits.begin(), digits.end());
}

Bytes Tlv(std::uint8_t tag, const Bytes& contents) {
    Bytes out{tag};
    AppendLength(out, contents.size());
    out.insert(out.end(), contents.begin(), contents.end());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes EncodeInteger(std::int64_t number) {
    Bytes out;
    for (int shift = 56; shift > 0; shift -= 8) {
        const auto octet = static_cast<std::uint8_t>((number >> shift) & 0xFF);
        const auto next = static_cast<std::uint8_t>((number >> (shift - 8)) & 0xFF);
        // Skip leading octets that only repeat the sign of the next one.
        const bool redundant = out.empty() && ((octet == 0x00 && (next & 0x80) == 0) ||
                                               (octet == 0xFF && (next & 0x80) != 0));
        if (!redundant) {
            out.push_back(octet);
        }
    }
    out.push_back(static_cast<std::uint8_t>(number & 0xFF));
    return out;
}

void AppendBase128(Bytes& out, std::uint64_t arc) {
    Bytes digits{static_cast<std::uint8_t>(arc & 0x7F)};
    for (arc >>= 7; arc > 0; arc >>= 7) {
        digits.insert(digits.begin(), static_cast<std::uint8_t>(0x80 | (arc & 0x7F)));
    }
    out.insert(out.end(), digits.begin(), digits.end());
}

std::vector<std::uint64_t> ParseArcs(std::string_view dotted) {
    std::vector<std::uint64_t> arcs;
    const char* cursor = dotted.data();
    const char* end = cursor + dotted.size();
    while (cursor < end) {
        std::uint64_t arc = 0;
        const auto [next, ec] = std::from_chars(cursor, end, arc);
        if (ec != std::errc{}) {
            return {};
        }
        arcs.push_back(arc);
        cursor = (next < end && *next == '.') ? next + 1 : next;
    }
    return arcs;
}

Bytes EncodeOid(std::string_view dotted) {
    const std::vector<std::uint64_t> arcs = ParseArcs(dotted);
    Bytes out;
    if (arcs.size() < 2) {
        return out;
    }
    AppendBase128(out, arcs[0] * 40 + arcs[1]);
    for (std::size_t i = 2; i < arcs.size(); ++i) {
        AppendBase128(out, arcs[i]);
    }
    return out;
}

std::string DecodeOid(std::span<const std::uint8_t> contents) {
    std::string dotted;
    std::uint64_t arc = 0;
    bool first = true;
    for (const std::uint8_t octet : contents) {
        arc = (arc << 7) | (octet & 0x7Fu);
        if ((octet & 0x80) != 0) {
            continue;
        }
        if (first) {
            const std::uint64_t top = arc < 80 ? arc / 40 : 2;
            dotted = std::to_string(top) + "." + std::to_string(arc - top * 40);
            first = false;
        } else {
            dotted += "." + std::to_string(arc);
        }
        arc = 0;
    }
    return dotted;
}

// Reads one TLV after another from a span; any overrun leaves it failed.
class BerReader {
public:
    explicit BerReader(std::span<const std::uint8_t> data) : m_data(data) {}

    bool Failed() const { return m_failed; }

    std::span<const std::uint8_t> Read(std::uint8_t& tag) {
        if (m_failed || m_pos + 2 > m_data.size()) {
            return Fail();
        }
        tag = m_data[m_pos++];
        std::size_t length = m_data[m_pos++];
        if ((length & 0x80) != 0) {
            const std::size_t count = length & 0x7F;
            if (count == 0 || count > 4 || m_pos + count > m_data.size()) {
                return Fail();
            }
            length = 0;
            for (std::size_t i = 0; i < count; ++i) {
                length = (length << 8) | m_data[m_pos++];
            }
        }
        if (length > m_data.size() - m_pos) {
            return Fail();
        }
        const auto contents = m_data.subspan(m_pos, length);
        m_pos += length;
        return contents;
    }

    std::span<const std::uint8_t> Expect(std::uint8_t expected) {
        std::uint8_t tag = 0;
        const auto contents = Read(tag);
        return tag == expected ? contents : Fail();
    }

    std::int64_t ReadInteger() {
        const auto contents = Expect(kBerInteger);
        return RawValue{kBerInteger, {contents.begin(), contents.end()}}.AsInteger();
    }

private:
    std::span<const std::uint8_t> Fail() {
        m_failed = true;
        return {};
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

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

RawValue RawValue::Integer(std::int64_t number) {
    return {kBerInteger, EncodeInteger(number)};
}

RawValue RawValue::Octets(std::vector<std::uint8_t> octets) {
    return {kBerOctetString, std::move(octets)};
}

std::int64_t RawValue::AsInteger() const {
    if (bytes.empty()) {
        return 0;
    }
    std::int64_t number = (bytes.front() & 0x80) != 0 ? -1 : 0;
    for (const std::uint8_t octet : bytes) {
        number = static_cast<std::int64_t>(static_cast<std::uint64_t>(number) << 8) | octet;
    }
    return number;
}

std::vector<std::uint8_t> EncodeRequest(const RawRequest& request, std::int32_t requestId) {
    const Bytes varBind = Tlv(kBerSequence, Concat({Tlv(kBerOid, EncodeOid(request.oid)),
                                                    Tlv(request.value.tag, request.value.bytes)}));
    const Bytes pdu =
        Tlv(static_cast<std::uint8_t>(request.type),
            Concat({Tlv(kBerInteger, EncodeInteger(requestId)), Tlv(kBerInteger, EncodeInteger(0)),
                    Tlv(kBerInteger, EncodeInteger(0)), Tlv(kBerSequence, varBind)}));
    const Bytes community(request.community.begin(), request.community.end());
    return Tlv(kBerSequence, Concat({Tlv(kBerInteger, EncodeInteger(kSnmpV1)),
                                     Tlv(kBerOctetString, community), pdu}));
}

std::optional<RawResponse> DecodeResponse(std::span<const std::uint8_t> datagram) {
    BerReader message(BerReader(datagram).Expect(kBerSequence));
    if (message.ReadInteger() != kSnmpV1) {
        return std::nullopt;
    }
    message.Expect(kBerOctetString);
    BerReader pdu(message.Expect(static_cast<std::uint8_t>(PduType::Response)));
    pdu.ReadInteger();
    RawResponse response;
    response.errorStatus = pdu.ReadInteger();
    response.errorIndex = pdu.ReadInteger();
    BerReader varBinds(pdu.Expect(kBerSequence));
    BerReader varBind(varBinds.Expect(kBerSequence));
    response.oid = DecodeOid(varBind.Expect(kBerOid));
    const auto value = varBind.Read(response.value.tag);
    response.value.bytes.assign(value.begin(), value.end());
    if (message.Failed() || pdu.Failed() || varBinds.Failed() || varBind.Failed()) {
        return std::nullopt;
    }
    return response;
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

}  // namespace tarnwick::testing
