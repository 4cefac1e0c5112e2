// The switch's text on a terminal, in process: the sanitiser class by class, and a hostile switch
// whose dump forges no line, lists a VLAN claimed by two rows once, and leaves only numbers for
// IDs and ports in JSON.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>
#include <string>
#include <tuple>

#include "cli/terminal_text.h"
#include "tests/cli/in_process.h"
#include "tests/vlan/fakes.h"

namespace tarnwick {
namespace {

TEST(TerminalText, EscapesWhatWouldSteerTheTerminalAfterDecoding) {
    const struct {
        const char* name;
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"CarriageReturn", "3\rOVERWRITTEN", "3\\rOVERWRITTEN"},
        {"LineFeed", "2\nVLAN 999", "2\\nVLAN 999"},
        {"Tab", "a\tb", "a\\tb"},
        {"Escape", "\x1b[2J", "\\u001B[2J"},
        {"Delete", "x\x7f", "x\\u007F"},
        {"C1CsiFromGb18030", "\xd6\xd0\x81\x30\x83\x37", "中\\u009B"},  // not UTF-8: GB18030
        {"RightToLeftOverride",
         "abc\xe2\x80\xae"
         "def",
         "abc\\u202Edef"},
        {"LeftToRightIsolate", "\xe2\x81\xa6x", "\\u2066x"},
        {"Backslash", "a\\nb", "a\\\\nb"},
        {"PlainCjk", "办公网 voice", "办公网 voice"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::TerminalText(c.bytes), c.shown) << c.name;
    }
}

TEST(HostileSwitch, DumpForgesNoLineAndWarnsOfWhatItLeavesOut) {
    const auto text = [](std::string instance, std::string octets) {
        return ValueRow{std::move(instance), OctetString{std::move(octets)}};
    };
    fakes::FakeSnmpAgent snmp(nullptr);
    snmp.columns = {{std::string(kVlanIdColumn), {{"2"}}}};  // the vendor's MIB
    snmp.valueColumns = {
        {std::string(kVlanIdColumn),
         {{{"1", 2}, text("2", "2\r\nVLAN 999  forged"), text("3", "3\rOVERWRITTEN"), {"4", 2}}}},
        {std::string(kVlanNameColumn), {{text("1", "office\x1b[2J\xe2\x80\xae")}}},
        {std::string(kVlanPortsColumn), {{text("2", "\x03")}}},
        {std::string(kPortIfIndexColumn), {{{"1", 13}, text("2", "7\n  3     99")}}},
        {std::string(kIfNameColumn), {{text("13", "ge\x1b]0;t\x07\xc2\x9b")}}}};
    const auto dump = [&](bool json) {
        cli::Invocation invocation;
        invocation.settings.ipAddress = "127.0.0.1:9";
        invocation.command = cli::Command::Dump;
        invocation.json = json;
        const test::CliRun run = test::RunInProcess(invocation, snmp);
        return std::tuple{run.exitCode, run.out, run.err};
    };
    const std::string warnings =
        "VLAN row with ID \"2\" left out: an earlier row has the same ID\n"
        "port 2 of VLAN 2 listed without its ifIndex \"7\\n  3     99\": not an ifIndex "
        "1-2147483647\n"
        "VLAN row with ID \"2\\r\\nVLAN 999  forged\" left out: not a VLAN ID 1-4094\n"
        "VLAN row with ID \"3\\rOVERWRITTEN\" left out: not a VLAN ID 1-4094\n";

    EXPECT_EQ(dump(false), std::tuple(1,
                                      "VLAN 2  office\\u001B[2J\\u202E\n"
                                      "  PORT  IFINDEX  IFNAME\n"
                                      "  1     13       ge\\u001B]0;t\\u0007\\u009B\n"
                                      "  2\n",
                                      warnings));

    const auto [status, json, err] = dump(true);
    EXPECT_EQ(std::tuple(status, err), std::tuple(1, warnings));
    const QJsonArray vlans =
        QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()[u"vlans"].toArray();
    ASSERT_EQ(vlans.size(), 1);
    EXPECT_EQ(vlans[0][u"id"], 2);
    const QJsonArray ports = vlans[0][u"ports"].toArray();
    ASSERT_EQ(ports.size(), 2);
    EXPECT_EQ(ports[0][u"ifIndex"], 13);
    EXPECT_EQ(QJsonDocument(ports[1].toObject()).toJson(QJsonDocument::Compact),
              R"({"ifIndex":null,"port":2})");
}

}  // namespace
}  // namespace tarnwick
