// The device address field: which texts reach Net-SNMP, and as which peer name.
#include "snmp/device_address.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(ParseDeviceAddress, AcceptedForms) {
    struct Case {
        const char* name;
        std::string_view text;
        std::string_view peerName;
    };
    const Case cases[] = {
        {"default address", "192.168.0.241", "udp:192.168.0.241:161"},
        {"loopback with port", "127.0.0.1:16161", "udp:127.0.0.1:16161"},
        {"zeros and maxima", "0.0.0.0:65535", "udp:0.0.0.0:65535"},
        {"port 1", "10.1.2.3:1", "udp:10.1.2.3:1"},
        {"leading zeros stay decimal", "010.001.000.255", "udp:10.1.0.255:161"},
        {"host name", "localhost", "udp:localhost:161"},
        {"dotted host name with port", "sw-01.example.net:1161", "udp:sw-01.example.net:1161"},
        {"label starting with a digit", "3com.lab", "udp:3com.lab:161"},
        {"IPv6 loopback", "[::1]", "udp6:[::1]:161"},
        {"IPv6 with port", "[fe80::1:2]:16161", "udp6:[fe80::1:2]:16161"},
        {"IPv4-mapped IPv6", "[::ffff:127.0.0.1]:5", "udp6:[::ffff:127.0.0.1]:5"},
    };
    for (const auto& c : cases) {
        const auto address = ParseDeviceAddress(c.text);
        ASSERT_TRUE(address.has_value()) << c.name;
        EXPECT_EQ(address->peerName, c.peerName) << c.name;
    }
}

TEST(ParseDeviceAddress, RefusedForms) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"empty", ""},
        {"blank", " "},
        {"tab", "\t"},
        {"surrounding blanks", " 127.0.0.1 "},
        {"three parts", "1.2.3"},
        {"five parts", "1.2.3.4.5"},
        {"part above 255", "300.1.1.1"},
        {"four-digit part", "0001.1.1.1"},
        {"empty part", "1..3.4"},
        {"trailing dot", "1.2.3.4."},
        {"empty port", "1.2.3.4:"},
        {"port 0", "1.2.3.4:0"},
        {"port above 65535", "1.2.3.4:70000"},
        {"signed port", "1.2.3.4:+161"},
        {"port with letters", "1.2.3.4:16a"},
        {"two ports", "1.2.3.4:161:162"},
        {"unclosed bracket", "[::1"},
        {"empty brackets", "[]"},
        {"IPv4 in brackets", "[127.0.0.1]"},
        {"junk after bracket", "[::1]x"},
        {"bracket empty port", "[::1]:"},
        {"bracket port 0", "[::1]:0"},
        {"bare IPv6", "::1"},
        {"inner blank", "a b"},
        {"underscore", "my_switch"},
        {"leading hyphen", "-switch"},
        {"trailing hyphen", "switch-.lab"},
        {"empty label", "a..b"},
        {"64-octet label", std::string(64, 'a') + ".lab"},
        {"name over 253", std::string(127, 'a').replace(63, 1, ".") + "." +
                              std::string(127, 'b').replace(63, 1, ".")},
        {"transport prefix", "udp:127.0.0.1"},
        {"non-ASCII", "交换机"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ParseDeviceAddress(c.text).has_value()) << c.name;
    }
}

}  // namespace
}  // namespace tarnwick
