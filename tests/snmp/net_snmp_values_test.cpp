// Conversions of Net-SNMP bindings and status codes into the layer's texts.
#include "snmp/net_snmp_values.h"

#include <gtest/gtest.h>

#include <memory>

namespace tarnwick::netsnmp {
namespace {

using namespace std::string_literals;

struct PduFreer {
    void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};
using Pdu = std::unique_ptr<netsnmp_pdu, PduFreer>;

const Oid kName{1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 7};

// A binding of the given type and raw value, as the library would hand it over.
Pdu MakeBinding(u_char type, const void* value, std::size_t length) {
    Pdu pdu(snmp_pdu_create(SNMP_MSG_RESPONSE));
    snmp_pdu_add_variable(pdu.get(), kName.data(), kName.size(), type, value, length);
    return pdu;
}

TEST(PrintableValue, NumbersAddressesAndEmptyTypes) {
    const long minusFive = -5;
    const long int32Max = 2147483647;
    const u_long counterMax = 4294967295u;
    const u_long ticks = 123456;
    const counter64 big{0x1, 0x2};
    const oid objectId[] = {1, 3, 6, 1, 4, 1, 2011};
    const u_char ip[] = {10, 0, 200, 1};
    struct Case {
        const char* name;
        u_char type;
        const void* value;
        std::size_t length;
        std::string printable;
    };
    const Case cases[] = {
        {"negative INTEGER", ASN_INTEGER, &minusFive, sizeof minusFive, "-5"},
        {"largest INTEGER", ASN_INTEGER, &int32Max, sizeof int32Max, "2147483647"},
        {"Counter32 is unsigned", ASN_COUNTER, &counterMax, sizeof counterMax, "4294967295"},
        {"Gauge32 is unsigned", ASN_GAUGE, &counterMax, sizeof counterMax, "4294967295"},
        {"TimeTicks as a number", ASN_TIMETICKS, &ticks, sizeof ticks, "123456"},
        {"Counter64", ASN_COUNTER64, &big, sizeof big, "4294967298"},
        {"OBJECT IDENTIFIER", ASN_OBJECT_ID, objectId, sizeof objectId, "1.3.6.1.4.1.2011"},
        {"IpAddress", ASN_IPADDRESS, ip, sizeof ip, "10.0.200.1"},
        {"NULL", ASN_NULL, nullptr, 0, ""},
        {"noSuchObject", SNMP_NOSUCHOBJECT, nullptr, 0, ""},
        {"endOfMibView", SNMP_ENDOFMIBVIEW, nullptr, 0, ""},
    };
    for (const auto& c : cases) {
        const auto pdu = MakeBinding(c.type, c.value, c.length);
        ASSERT_NE(pdu->variables, nullptr) << c.name;
        EXPECT_EQ(PrintableValue(*pdu->variables, OctetForm::Auto), c.printable) << c.name;
    }
}

TEST(PrintableValue, OctetStringForms) {
    const std::string dumpOf30 = "  40 20 20 20 20 20 " + std::string(30, ' ') + "   @     \n";
    struct Case {
        const char* name;
        std::string octets;
        OctetForm form;
        std::string printable;
    };
    const Case cases[] = {
        {"printable text", "lab-net", OctetForm::Auto, "lab-net"},
        {"bitmap of printable bytes, auto", "@     ", OctetForm::Auto, "@     "},
        {"bitmap of printable bytes, forced", "@     ", OctetForm::HexDump, dumpOf30},
        {"binary octets", "\xFF\x00\x01"s, OctetForm::Auto,
         "  FF 00 01 " + std::string(39, ' ') + "   ...\n"},
        {"empty", "", OctetForm::HexDump, ""},
    };
    for (const auto& c : cases) {
        const auto pdu = MakeBinding(ASN_OCTET_STR, c.octets.data(), c.octets.size());
        EXPECT_EQ(PrintableValue(*pdu->variables, c.form), c.printable) << c.name;
    }
}

TEST(AddValueBinding, SendsExactOctetsAndIntegers) {
    Pdu pdu(snmp_pdu_create(SNMP_MSG_SET));
    const std::string bitmap = "\x00\x80\x00\x00\x00\x01"s;
    ASSERT_TRUE(AddValueBinding(*pdu, kName, OctetString{bitmap}));
    ASSERT_TRUE(AddValueBinding(*pdu, kName, std::int32_t{-7}));
    ASSERT_TRUE(AddValueBinding(*pdu, kName, OctetString{""}));

    const netsnmp_variable_list* octets = pdu->variables;
    EXPECT_EQ(octets->type, ASN_OCTET_STR);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(octets->val.string), octets->val_len),
              bitmap);
    const netsnmp_variable_list* integer = octets->next_variable;
    EXPECT_EQ(integer->type, ASN_INTEGER);
    EXPECT_EQ(*integer->val.integer, -7);
    EXPECT_EQ(integer->next_variable->val_len, 0u);
}

TEST(ToOid, RefusesWhatTheLibraryCannotCarry) {
    EXPECT_TRUE(ToOid("1.3.6.1").has_value());
    EXPECT_FALSE(ToOid("1.3.x").has_value());
    std::string tooLong = "1";
    for (int i = 0; i < MAX_OID_LEN; ++i) {
        tooLong += ".1";
    }
    EXPECT_FALSE(ToOid(tooLong).has_value());
}

TEST(MakeStatus, TextsComeFromTheCodeAlone) {
    struct Case {
        const char* name;
        int code;
        std::string text;
    };
    const Case cases[] = {
        {"success", 0, ""},
        {"noSuchName", SNMP_ERR_NOSUCHNAME,
         "(noSuchName) There is no such variable name in this MIB."},
        {"badValue", SNMP_ERR_BADVALUE, "(badValue) The value given has the wrong type or length."},
        {"timeout", SNMPERR_TIMEOUT, "Timeout"},
        {"unknown host", SNMPERR_BAD_ADDRESS, "Unknown host"},
    };
    for (const auto& c : cases) {
        // A detail left behind by an earlier library failure must not leak into the text.
        snmp_set_detail("left over");
        const auto status = MakeStatus(c.code);
        EXPECT_EQ(status.code, c.code) << c.name;
        EXPECT_EQ(status.text, c.text) << c.name;
    }
}

}  // namespace
}  // namespace tarnwick::netsnmp
