// The shared BER codec, through the raw client, agrees with the wire format and round-trips.
#include "tests/support/raw_snmp.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

TEST(RawSnmpTest, GetRequestMatchesTheWireFormat) {
    const std::vector<std::uint8_t> expected{
        0x30, 0x26, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',  'i',  'c',  0xA0,
        0x19, 0x02, 0x01, 0x07, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30, 0x0C,
        0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00, 0x05, 0x00};
    EXPECT_EQ(EncodeRequest({PduType::Get, "public", "1.3.6.1.2.1.1.1.0", {}}, 7), expected);
}

RawResponse RoundTrip(const std::string& oid, const RawValue& value) {
    const auto datagram = EncodeRequest({PduType::Response, "public", oid, value}, 1);
    return DecodeResponse(datagram).value_or(RawResponse{-1, -1, "undecodable", {}});
}

TEST(RawSnmpTest, IntegersRoundTrip) {
    for (const std::int64_t number : {0LL, 1LL, 127LL, 128LL, 255LL, 256LL, 4096LL, -1LL, -128LL,
                                      -129LL, 2147483647LL, -2147483648LL}) {
        SCOPED_TRACE(number);
        const RawResponse got = RoundTrip("1.3.6.1", RawValue::Integer(number));
        EXPECT_EQ(got.value.tag, kBerInteger);
        EXPECT_EQ(got.value.AsInteger(), number);
    }
}

TEST(RawSnmpTest, OidsRoundTrip) {
    for (const std::string oid :
         {"1.3.6.1.4.1.2011.2.23.1.2.1.1.1.3.4094", "1.3.6.1.4.1.2011.2.23.1.18.4.5.1.3.128",
          "1.3.6.1.2.1.2.2.1.1.4294967295", "2.100.3"}) {
        EXPECT_EQ(RoundTrip(oid, {}).oid, oid);
    }
}

TEST(RawSnmpTest, LongOctetStringUsesLongFormLengths) {
    const std::vector<std::uint8_t> octets(300, 0xAB);
    EXPECT_EQ(RoundTrip("1.3.6.1", RawValue::Octets(octets)).value.bytes, octets);
}

TEST(RawSnmpTest, RejectsWhatIsNoResponse) {
    const auto request = EncodeRequest({PduType::Get, "public", "1.3.6.1", {}}, 1);
    EXPECT_FALSE(DecodeResponse(request).has_value());
    auto response = EncodeRequest({PduType::Response, "public", "1.3.6.1", {}}, 1);
    response.pop_back();
    EXPECT_FALSE(DecodeResponse(response).has_value());
    EXPECT_FALSE(DecodeResponse({}).has_value());
}

// The scripted agent decodes requests of every kind with the same codec.
TEST(RawSnmpTest, RequestsDecodeWithTheirTypeCommunityAndValue) {
    for (const PduType type : {PduType::Get, PduType::GetNext, PduType::Set}) {
        const RawValue value = RawValue::Octets({0x80, 0x00, 0x01});
        const auto message =
            DecodeMessage(EncodeRequest({type, "private", "1.3.6.1.9", value}, 42));
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(message->pduType, static_cast<std::uint8_t>(type));
        EXPECT_EQ(message->requestId, 42);
        EXPECT_EQ(message->community, "private");
        EXPECT_EQ(message->oid, (SubIds{1, 3, 6, 1, 9}));
        EXPECT_EQ(message->valueTag, kBerOctetString);
        EXPECT_EQ(message->value, value.bytes);
    }
}

TEST(RawSnmpTest, MalformedDottedOidsParseToNothing) {
    for (const std::string_view dotted : {"1.3.x", "1..3", "-1.3", "1.3.4294967296"}) {
        EXPECT_TRUE(Oid(dotted).empty()) << dotted;
    }
}

}  // namespace
}  // namespace tarnwick::test
