// A scripted vendor-MIB switch for the scripted agent: VLANs 1 (ports 1-8) and 10 (ports 10-16)
// as bitmaps that applied SETs change, with one fault at one step of a move.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "tests/snmp/scripted_agent.h"
#include "vlan/vlan_tables.h"

namespace tarnwick::test {

enum Fault {
    kLostRequest,
    kRefusal,
    kBlindReadBack,  // applied, its reply lost, and the GET that would read it back too
};

struct SwitchModel {
    ScriptedAnswer Answer(const ReceivedRequest& request) {
        std::lock_guard lock(mutex);
        auto binding = [this](std::uint32_t vlan) {
            SubIds oid = Oid(kVlanPortsColumn);
            oid.push_back(vlan);
            return ScriptedAnswer{false, 0, oid, bitmaps[vlan]};
        };
        if (request.oid == Oid(kVlanIdColumn)) {  // which VLAN MIB: the vendor's
            SubIds first = request.oid;
            first.push_back(1);
            return {false, 0, first, "1"};
        }
        const std::uint32_t vlan = request.oid.back();
        if (request.pduType == 0xA1) {  // GETNEXT: the column read again
            return request.oid == Oid(kVlanPortsColumn) ? binding(1)
                   : vlan == 1                          ? binding(10)
                                                        : ScriptedAnswer{false, 2};
        }
        if (request.pduType == 0xA0) {
            if (blindGet == 0 || blindGet == request.requestId) {
                blindGet = request.requestId;  // its resend too
                return {true};
            }
            ScriptedAnswer answer = binding(vlan);
            for (const VarBind& more : request.moreBindings) {
                const std::string& octets = bitmaps[more.oid.back()];
                answer.moreBindings.push_back({more.oid, 4, {octets.begin(), octets.end()}});
            }
            return answer;
        }
        sets.insert(request.requestId);
        if (static_cast<int>(sets.size()) - 1 != step) {
            bitmaps[vlan] = request.value;
            return {false, 0, request.oid, request.value};
        }
        if (fault == kRefusal) {
            return {false, 3};  // badValue
        }
        if (fault == kBlindReadBack) {
            bitmaps[vlan] = request.value;
            blindGet = 0;
        }
        return {true};
    }
    // Port 12 in VLAN 10 (where it was), in VLAN 1 (the goal), in both or in neither.
    std::string Held() {
        std::lock_guard lock(mutex);
        const bool inOld = (bitmaps[10][1] & 0x08) != 0, inNew = (bitmaps[1][1] & 0x08) != 0;
        return inOld == inNew ? (inOld ? "both" : "neither") : inNew ? "new" : "old";
    }

    int step;  // the SET with the fault: 0 removal, 1 addition
    Fault fault;
    std::mutex mutex{};
    std::map<std::uint32_t, std::string> bitmaps{{1, std::string("\xFF\0", 2)},
                                                 {10, std::string("\0\xFE", 2)}};
    std::set<std::int64_t> sets{};
    std::int64_t blindGet = -1;  // 0: the next GET goes unanswered
};

}  // namespace tarnwick::test
