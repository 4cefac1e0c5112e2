// Finding a device's port by its MAC: spellings, instances, entries, VLANs, uplinks and requests.
#include "vlan/forwarding.h"

#include <gtest/gtest.h>

#include "vlan/vlan_tables.h"

namespace tarnwick {
namespace {

const Mac kPc{0x02, 0x00, 0x5e, 0x10, 0x00, 0x06};

TEST(MacAddress, ReadsTheUsualSpellingsAndNothingElse) {
    for (const char* good : {"02:00:5e:10:00:06", "02-00-5E-10-00-06", "0200.5e10.0006",
                             "02005E100006", "02:00:5E:10:00:06"}) {
        EXPECT_EQ(ParseMac(good), kPc) << good;
    }
    for (const char* bad : {"02:00-5e:10:00:06", "2:0:5e:10:0:6", "02.00.5e.10.00.06",
                            "0200-5e10-0006", "02:00:5g:10:00:06", "+2:00:5e:10:00:06",
                            "0x005e100006", "02005e10000", "02005e1000060", " 02005e100006", ""}) {
        EXPECT_EQ(ParseMac(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(MacText({0x02, 0x00, 0x5e, 0x10, 0xab, 0x0a}), "02:00:5e:10:ab:0a");
}

TEST(ForwardingInstances, NameTheAddressInEachTable) {
    EXPECT_EQ(QBridgeFdbPortOid(2, kPc), "1.3.6.1.2.1.17.7.1.2.2.1.2.2.2.0.94.16.0.6");
    EXPECT_EQ(QBridgeFdbStatusOid(4294967295, {255, 255, 255, 255, 255, 255}),
              "1.3.6.1.2.1.17.7.1.2.2.1.3.4294967295.255.255.255.255.255.255");
    EXPECT_EQ(BridgeFdbPortOid(kPc), "1.3.6.1.2.1.17.4.3.1.2.2.0.94.16.0.6");
    EXPECT_EQ(BridgeFdbStatusOid(kPc), "1.3.6.1.2.1.17.4.3.1.3.2.0.94.16.0.6");
}

TEST(OidJustBelow, LeavesNoInstanceBetween) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.3.6.2.0.6", "1.3.6.2.0.5"},       {"1.3.6.2.0.0", "1.3.6.2.0"}, {"1.3.0.0", "1.3.0"},
        {"1.3.4294967295", "1.3.4294967294"}, {".1.3.6", "1.3.5"},          {"7", "6"}};
    for (const auto& [instance, below] : cases) {
        EXPECT_EQ(OidJustBelow(instance), below) << instance;
    }
    for (const char* nothingBelow : {"0", "", "1..3", "1.4294967296"}) {
        EXPECT_EQ(OidJustBelow(nothingBelow), std::nullopt) << nothingBelow;
    }
}

TEST(VlansOfFdbs, GroupsTheVlansOfEachDatabaseOnce) {
    const std::string c(kDot1qVlanFdbIdColumn);
    // VLAN 10 seen again under another TimeMark; then rows without an FDB id, a VLAN ID, a
    // TimeMark, and of another column.
    const WalkTable rows = {c + ".0.10-2",           c + ".0.1-1",  c + ".0.20-2",
                            c + ".0.100-4294967295", c + ".5.10-7", c + ".0.30-",
                            c + ".0.4095-3",         c + ".0-3",    c + "0.0.40-3"};
    EXPECT_EQ(VlansOfFdbs(rows), (FdbVlans{{1, {1}}, {2, {10, 20}}, {4294967295, {100}}}));
}

TEST(KindOfFdbEntry, OnlyALearnedPortLocatesTheDevice) {
    using enum FdbEntryKind;
    const std::tuple<std::int64_t, std::optional<std::int64_t>, FdbEntryKind> cases[] = {
        {12, 3, Learned}, {12, {}, Learned},  {65535, 1, Learned}, {0, 3, NoPort}, {0, {}, NoPort},
        {-1, 3, NoPort},  {65536, 3, NoPort}, {0, 4, Self},        {12, 4, Self},  {7, 5, Mgmt}};
    for (const auto& [port, status, kind] : cases) {
        EXPECT_EQ(KindOfFdbEntry(port, status), kind) << port << " " << status.value_or(0);
    }
}

TEST(Uplink, TaggedInSeveralOrUntaggedInNoneOnQBridgeSeveralVlansOnTheVendorMib) {
    // Access port, PC behind an IP phone; trunk, tagged in two, tagged only, in no VLAN.
    const std::tuple<int, int, bool> cases[] = {{0, 1, false}, {1, 1, false}, {3, 1, true},
                                                {2, 0, true},  {1, 0, true},  {0, 0, true}};
    for (const auto& [tagged, untagged, uplink] : cases) {
        EXPECT_EQ(IsQBridgeUplink(tagged, untagged), uplink) << tagged << " " << untagged;
    }
    EXPECT_EQ((std::vector{IsVendorUplink(1), IsVendorUplink(2)}), (std::vector{false, true}));
}

TEST(VlanOfEntry, TheDatabasesVlanElseThePortsWhereTheDatabaseServesIt) {
    using Vlans = std::vector<int>;
    // One VLAN's database; a shared one: the PVID, served or not, else the one untagged VLAN,
    // served or not; the whole switch's database: the PVID, the vendor port's one VLAN or none.
    const std::tuple<Vlans, std::optional<int>, Vlans, std::optional<int>> cases[] = {
        {{10}, 1, {1}, 10},       {{10, 20}, 20, {10}, 20}, {{10, 20}, 30, {10}, {}},
        {{10, 20}, {}, {10}, 10}, {{10, 20}, {}, {30}, {}}, {{}, 30, {}, 30},
        {{}, {}, {10}, 10},       {{}, {}, {10, 20}, {}}};
    for (std::size_t row = 0; const auto& [fdbVlans, pvid, untagged, vlan] : cases) {
        EXPECT_EQ(VlanOfEntry(fdbVlans, pvid, untagged), vlan) << "row " << row++;
    }
}

TEST(OrderByPreference, NonUplinksFirstEachInTheOrderFound) {
    std::vector<FoundPort> found = {{24, 1, true}, {12, 2, false}, {23, 2, true}, {17, 3, false}};
    OrderByPreference(found);
    EXPECT_EQ((std::vector{found[0].port, found[1].port, found[2].port, found[3].port}),
              (std::vector{12, 17, 24, 23}));
}

TEST(VendorPortOfIfIndex, OnlyOnePortMayHoldIt) {
    const std::string c(kPortIfIndexColumn);
    const WalkTable rows = {c + ".1-5", c + ".12-16", c + ".12-16", c + ".3-7",
                            c + ".4-7", c + "1.9-20", c + ".x-21"};
    const std::pair<std::int32_t, std::optional<int>> cases[] = {{16, 12}, {5, 1},   {7, {}},
                                                                 {20, {}}, {21, {}}, {99, {}}};
    for (const auto& [ifIndex, port] : cases) {
        EXPECT_EQ(VendorPortOfIfIndex(rows, ifIndex), port) << ifIndex;
    }
}

TEST(BindingBatches, InOrderHalvedOnTooBigUntilOneBinding) {
    BindingBatches batches(10, 4);
    // The range expected, then whether it is answered tooBig and TooBig's answer.
    const std::tuple<std::size_t, std::size_t, bool, bool> steps[] = {
        {0, 4, false, false}, {4, 4, true, true},  {4, 2, false, false}, {6, 2, false, false},
        {8, 2, true, true},   {8, 1, true, false}, {8, 1, false, false}, {9, 1, false, false}};
    for (const auto& [first, count, tooBig, halved] : steps) {
        EXPECT_EQ(std::pair(batches.Next().first, batches.Next().count), std::pair(first, count));
        if (tooBig) {
            EXPECT_EQ(batches.TooBig(), halved);
        } else {
            batches.Answered();
        }
    }
    EXPECT_EQ(batches.Next().count, 0u);
    EXPECT_EQ(BindingBatches(2, 0).Next().count, 1u);
}

}  // namespace
}  // namespace tarnwick
