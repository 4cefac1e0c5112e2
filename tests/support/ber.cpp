// Tag-length-value encoding and a reader that fails for good on the first overrun.
#include "tests/support/ber.h"

#include <charconv>

namespace tarnwick::test {
namespace {

constexpr std::int64_t kSnmpV1 = 0;
constexpr std::int64_t kSnmpV2c = 1;

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

// One TLV whose contents are the parts in order.
Bytes Tlv(std::uint8_t tag, std::initializer_list<std::span<const std::uint8_t>> parts) {
    std::size_t length = 0;
    for (const auto part : parts) {
        length += part.size();
    }
    Bytes out{tag};
    AppendLength(out, length);
    for (const auto part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes IntegerTlv(std::int64_t number) {
    return Tlv(kBerInteger, {EncodeInteger(number)});
}

void AppendBase128(Bytes& out, std::uint64_t arc) {
    Bytes digits{static_cast<std::uint8_t>(arc & 0x7F)};
    for (arc >>= 7; arc > 0; arc >>= 7) {
        digits.insert(digits.begin(), static_cast<std::uint8_t>(0x80 | (arc & 0x7F)));
    }
    out.insert(out.end(), digits.begin(), digits.end());
}

Bytes EncodeOid(const SubIds& oid) {
    Bytes out;
    if (oid.size() < 2) {
        return out;
    }
    AppendBase128(out, std::uint64_t{oid[0]} * 40 + oid[1]);
    for (std::size_t i = 2; i < oid.size(); ++i) {
        AppendBase128(out, oid[i]);
    }
    return out;
}

SubIds DecodeOid(std::span<const std::uint8_t> contents) {
    SubIds oid;
    std::uint32_t arc = 0;
    for (const std::uint8_t octet : contents) {
        arc = (arc << 7) | (octet & 0x7Fu);
        if ((octet & 0x80) != 0) {
            continue;
        }
        if (oid.empty()) {
            oid.push_back(arc < 80 ? arc / 40 : 2);
            oid.push_back(arc - oid[0] * 40);
        } else {
            oid.push_back(arc);
        }
        arc = 0;
    }
    return oid;
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data) : m_data(data) {}

    bool Failed() const { return m_failed; }
    bool AtEnd() const { return m_pos == m_data.size(); }

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

    std::int64_t ReadInteger() { return DecodeInteger(Expect(kBerInteger)); }

private:
    std::span<const std::uint8_t> Fail() {
        m_failed = true;
        return {};
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

}  // namespace

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

std::int64_t DecodeInteger(std::span<const std::uint8_t> contents) {
    if (contents.empty()) {
        return 0;
    }
    std::int64_t number = (contents.front() & 0x80) != 0 ? -1 : 0;
    for (const std::uint8_t octet : contents) {
        number = static_cast<std::int64_t>(static_cast<std::uint64_t>(number) << 8) | octet;
    }
    return number;
}

SubIds Oid(std::string_view dotted) {
    SubIds oid;
    const char* cursor = dotted.data();
    const char* end = cursor + dotted.size();
    while (cursor < end) {
        std::uint32_t arc = 0;
        const auto [next, ec] = std::from_chars(cursor, end, arc);
        if (ec != std::errc{}) {
            return {};
        }
        oid.push_back(arc);
        cursor = (next < end && *next == '.') ? next + 1 : next;
    }
    return oid;
}

std::string Dotted(const SubIds& oid) {
    std::string dotted;
    for (const std::uint32_t arc : oid) {
        dotted += (dotted.empty() ? "" : ".") + std::to_string(arc);
    }
    return dotted;
}

Bytes EncodeMessage(const SnmpMessage& message) {
    const Bytes community(message.community.begin(), message.community.end());
    Bytes varBind = Tlv(kBerSequence, {Tlv(kBerOid, {EncodeOid(message.oid)}),
                                       Tlv(message.valueTag, {message.value})});
    for (const VarBind& more : message.moreBindings) {
        const Bytes next = Tlv(
            kBerSequence, {Tlv(kBerOid, {EncodeOid(more.oid)}), Tlv(more.valueTag, {more.value})});
        varBind.insert(varBind.end(), next.begin(), next.end());
    }
    const Bytes pdu =
        Tlv(message.pduType, {IntegerTlv(message.requestId), IntegerTlv(message.errorStatus),
                              IntegerTlv(message.errorIndex),
                              Tlv(kBerSequence, {message.noBinding ? Bytes{} : varBind})});
    return Tlv(kBerSequence, {IntegerTlv(message.version), Tlv(kBerOctetString, {community}), pdu});
}

std::optional<SnmpMessage> DecodeMessage(std::span<const std::uint8_t> datagram) {
    Reader body(Reader(datagram).Expect(kBerSequence));
    SnmpMessage message;
    message.version = body.ReadInteger();
    if (message.version != kSnmpV1 && message.version != kSnmpV2c) {
        return std::nullopt;
    }
    const auto community = body.Expect(kBerOctetString);
    message.community.assign(community.begin(), community.end());
    Reader pdu(body.Read(message.pduType));
    message.requestId = pdu.ReadInteger();
    message.errorStatus = pdu.ReadInteger();
    message.errorIndex = pdu.ReadInteger();
    Reader varBinds(pdu.Expect(kBerSequence));
    Reader varBind(varBinds.Expect(kBerSequence));
    message.oid = DecodeOid(varBind.Expect(kBerOid));
    const auto value = varBind.Read(message.valueTag);
    message.value.assign(value.begin(), value.end());
    while (!varBinds.Failed() && !varBinds.AtEnd()) {
        Reader next(varBinds.Expect(kBerSequence));
        VarBind& more = message.moreBindings.emplace_back();
        more.oid = DecodeOid(next.Expect(kBerOid));
        const auto moreValue = next.Read(more.valueTag);
        more.value.assign(moreValue.begin(), moreValue.end());
        if (next.Failed()) {
            return std::nullopt;
        }
    }
    if (body.Failed() || pdu.Failed() || varBinds.Failed() || varBind.Failed()) {
        return std::nullopt;
    }
    return message;
}

}  // namespace tarnwick::test
