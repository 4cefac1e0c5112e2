// BER for SNMPv1 messages: the one codec behind the raw test client and the
// scripted agent, written apart from the code under test.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::test {

using Bytes = std::vector<std::uint8_t>;
using SubIds = std::vector<std::uint32_t>;

inline constexpr std::uint8_t kBerInteger = 0x02;
inline constexpr std::uint8_t kBerOctetString = 0x04;
inline constexpr std::uint8_t kBerNull = 0x05;
inline constexpr std::uint8_t kBerOid = 0x06;
inline constexpr std::uint8_t kBerSequence = 0x30;
inline constexpr std::uint8_t kBerCounter32 = 0x41;
inline constexpr std::uint8_t kBerGauge32 = 0x42;

struct VarBind {
    SubIds oid;
    std::uint8_t valueTag = kBerNull;
    Bytes value;
};

// An SNMPv1 or SNMPv2c message, its first variable binding spelled out; the PDU type is the PDU's
// tag.
struct SnmpMessage {
    std::uint8_t pduType = 0;
    std::string community;
    std::int64_t requestId = 0;
    std::int64_t errorStatus = 0;
    std::int64_t errorIndex = 0;
    SubIds oid;
    std::uint8_t valueTag = kBerNull;
    Bytes value;             // the contents octets
    bool noBinding = false;  // an empty variable-binding list instead, as a broken agent sends
    std::vector<VarBind> moreBindings{};  // after the first
    // 0 SNMPv1, 1 SNMPv2c (whose GETBULK holds its counts in the error-status and error-index)
    std::int64_t version = 0;
};

Bytes EncodeMessage(const SnmpMessage& message);
// Nothing unless the datagram holds a well-formed SNMPv1 or SNMPv2c message.
std::optional<SnmpMessage> DecodeMessage(std::span<const std::uint8_t> datagram);

// The shortest two's complement contents octets of an INTEGER, and back.
Bytes EncodeInteger(std::int64_t number);
std::int64_t DecodeInteger(std::span<const std::uint8_t> contents);

// Dotted decimal without a leading dot; empty when malformed.
SubIds Oid(std::string_view dotted);
std::string Dotted(const SubIds& oid);

}  // namespace tarnwick::test
