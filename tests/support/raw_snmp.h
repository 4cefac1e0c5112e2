// A minimal SNMPv1 client over a plain UDP socket, independent of the code under test: it probes
// the simulated switch and lets tests check what the switch holds.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/ber.h"

namespace tarnwick::test {

enum class PduType : std::uint8_t { Get = 0xA0, GetNext = 0xA1, Response = 0xA2, Set = 0xA3 };

struct RawValue {
    std::uint8_t tag = kBerNull;
    std::vector<std::uint8_t> bytes;  // the contents octets

    static RawValue Integer(std::int64_t number) { return {kBerInteger, EncodeInteger(number)}; }
    static RawValue Octets(std::vector<std::uint8_t> octets) {
        return {kBerOctetString, std::move(octets)};
    }
    std::int64_t AsInteger() const { return DecodeInteger(bytes); }
    std::string AsText() const { return {bytes.begin(), bytes.end()}; }
    // Two upper-case hex digits per octet: how a bitmap is compared.
    std::string AsHex() const {
        std::string hex;
        for (const std::uint8_t octet : bytes) {
            hex += "0123456789ABCDEF"[octet >> 4];
            hex += "0123456789ABCDEF"[octet & 15];
        }
        return hex;
    }
};

struct RawRequest {
    PduType type = PduType::Get;
    std::string community = "public";
    std::string oid;  // dotted decimal, no leading dot
    RawValue value;
};

// One variable binding of a response.
struct RawResponse {
    std::int64_t errorStatus = 0;
    std::int64_t errorIndex = 0;
    std::string oid;
    RawValue value;
};

std::vector<std::uint8_t> EncodeRequest(const RawRequest& request, std::int32_t requestId);
std::optional<RawResponse> DecodeResponse(std::span<const std::uint8_t> datagram);

enum class Outcome {
    Answered,    // a well-formed response arrived
    Garbled,     // something arrived that is not an SNMPv1 response
    NoAnswer,    // nothing within the wait
    PortClosed,  // the kernel reported the port unreachable: nobody listens
};

struct RawExchange {
    Outcome outcome = Outcome::NoAnswer;
    RawResponse response;  // valid when Answered
};

// Sends one request to 127.0.0.1:port and waits up to `wait` for the answer.
RawExchange Exchange(std::uint16_t port, const RawRequest& request, std::chrono::milliseconds wait);

}  // namespace tarnwick::test
