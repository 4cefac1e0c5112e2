// The main window's texts.
#include "ui/window_texts.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace tarnwick {
namespace {

constexpr std::string_view kSetVlanPortsFailure =
    "设定VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: ";
constexpr std::string_view kSaveFailure = "保存信息失败，请检查IP地址或共同体名! \r\n错误信息: ";

// A read's failure names the column it walked.
std::string_view ReadFailureText(ColumnRole column) {
    switch (column) {
        case ColumnRole::IfIndex:
            return "读取if信息失败，请检查IP地址或共同体名!";
        case ColumnRole::IfName:
            return "读取ifName信息失败，请检查IP地址或共同体名!";
        case ColumnRole::VlanId:
            return "读取Vlan信息失败，请检查IP地址或共同体名!";
        case ColumnRole::VlanName:
            return "读取VlanName信息失败，请检查IP地址或共同体名!";
        case ColumnRole::Members:
            return "读取VlanPorts信息失败，请检查IP地址或共同体名!";
        case ColumnRole::PortIfIndex:
            return "读PortIfIndex取信息失败，请检查IP地址或共同体名!";
        case ColumnRole::Untagged:
        case ColumnRole::Forbidden:
        case ColumnRole::Pvid:
            break;  // Q-BRIDGE-MIB's, which the window does not read
    }
    return "读取信息失败，请检查IP地址或共同体名!";
}

std::string VlanText(std::string_view vlanId) {
    return "VLAN " + std::string(vlanId);
}

std::string SetFailureText(const SnmpStatus& status) {
    return std::string(kSetVlanPortsFailure) + status.text;
}

// "端口12" or "端口3,4" for the ports in the place; empty when none is.
std::string PortsIn(const MoveReport& report, PortPlace place) {
    std::vector<int> in;
    for (const PortState& port : report.ports) {
        if (port.place == place) {
            in.push_back(port.port);
        }
    }
    return in.empty() ? std::string() : "端口" + PortListText(in);
}

// The VLAN a one-bitmap SET wrote.
const std::string& VlanOf(const MovePlan& plan, const SentSet& sent) {
    const ObjectRole role = plan.objects[sent.objects.front()].role;
    return role == ObjectRole::FromMembers ? plan.fromVlan : plan.toVlan;
}

// Whether the switch said, for every moved port, that the VLAN does not hold it; false when it
// did not tell.
bool NoPortIn(const MovePlan& plan, const MoveReport& report, std::string_view vlan) {
    const ObjectRole role = vlan == plan.fromVlan ? ObjectRole::FromMembers : ObjectRole::ToMembers;
    return std::all_of(report.ports.begin(), report.ports.end(),
                       [&](const PortState& port) { return PartOf(plan, port, role) == Part{0}; });
}

std::string RefusalText(const MoveRefusal& refusal, std::string_view fromVlan,
                        std::string_view toVlan) {
    using Reason = MoveRefusal::Reason;
    const std::string vlan = VlanText(refusal.vlan);
    const std::string port = std::to_string(refusal.port);
    switch (refusal.reason) {
        case Reason::SameVlan:
            return {};
        case Reason::NoRow:
            return "找不到" + vlan + "的VlanPorts信息，未做任何修改!";
        case Reason::ReadFailed:
            return "读取" + VlanText(fromVlan) + "和" + VlanText(toVlan) +
                   "的VlanPorts信息失败，请检查IP地址或共同体名! \r\n错误信息: " +
                   refusal.status.text + "\r\n未做任何修改!";
        case Reason::PortBeyond:
            return vlan + "的VlanPorts信息不包含端口" + port + "，未做任何修改!";
        case Reason::NotInFrom:
            return "端口" + port + "已不在" + vlan + "中，请先重新读取，未做任何修改!";
        case Reason::NotAValue:
        case Reason::OnlyTagged:
        case Reason::PvidNotFrom:
        case Reason::Forbidden:
        case Reason::NoSuchPort:
            break;  // a Q-BRIDGE-MIB switch's, which the window does not move ports on
    }
    return "未做任何修改!";
}

std::string MoveText(const MovePlan& plan, const MoveReport& report) {
    if (report.AllMoved()) {
        return {};
    }
    const std::string from = VlanText(plan.fromVlan);
    const std::string to = VlanText(plan.toVlan);
    std::vector<std::string> lines;
    const bool restored = std::any_of(report.sets.begin(), report.sets.end(), [](const auto& s) {
        return s.phase == SetPhase::Restore && s.applied == true;
    });
    const SentSet* unread = nullptr;
    bool restoreWorded = false;
    for (const SentSet& sent : report.sets) {
        const bool restore = sent.phase == SetPhase::Restore;
        // A restore that went through the second time needs no word on the first, and one that
        // failed twice one word.
        if (sent.applied == true) {
            continue;
        }
        if (!sent.applied) {
            unread = &sent;
        }
        if (restore && (restored || restoreWorded)) {
            continue;
        }
        restoreWorded = restoreWorded || restore;
        lines.push_back(restore
                            ? "恢复" + from + "也失败了(错误信息: " + sent.result.status.text + ")"
                            : SetFailureText(sent.result.status));
    }
    const bool changed = report.MayHaveChanged();
    if (const std::string moved = PortsIn(report, PortPlace::NewVlan); !moved.empty()) {
        lines.push_back(moved + "已移到" + to + "。");
    }
    if (const std::string stayed = PortsIn(report, PortPlace::OldVlan); !stayed.empty()) {
        lines.push_back(restored ? stayed + "未能加入" + to + "，已恢复到" + from + "。"
                                 : stayed + "仍在" + from + "中" + (changed ? "。" : "，"));
    }
    if (const std::string neither = PortsIn(report, PortPlace::Neither); !neither.empty()) {
        lines.push_back(neither + "现已既不在" + from + "也不在" + to + "中!");
    }
    if (const std::string both = PortsIn(report, PortPlace::Both); !both.empty()) {
        lines.push_back(both + "现已同时在" + from + "和" + to + "中!");
    }
    if (const std::string changedPorts = PortsIn(report, PortPlace::Changed);
        !changedPorts.empty()) {
        lines.push_back(changedPorts + "已被他人改动，未再修改，请重新读取!");
    }
    if (const std::string unknown = PortsIn(report, PortPlace::Unknown);
        !unknown.empty() && unread) {
        const std::string& vlan = VlanOf(plan, *unread);
        const std::string& other = vlan == plan.fromVlan ? plan.toVlan : plan.fromVlan;
        std::string line = "未能读回" + VlanText(vlan) + "的VlanPorts信息(错误信息: " +
                           unread->readBack.value_or(SnmpStatus{}).text + ")，无法确认" + unknown +
                           "是否在" + VlanText(vlan) + "中";
        // The other VLAN was read or confirmed: say what it holds.
        if (NoPortIn(plan, report, other)) {
            line += "(不在" + VlanText(other) + "中)";
        }
        lines.push_back(line + "，请重新读取!");
    }
    std::string message;
    for (const std::string& line : lines) {
        message += (message.empty() ? "" : "\r\n") + line;
    }
    return changed ? message : message + "未做任何修改!";
}

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};

}  // namespace

std::string WindowText(const Notice& notice) {
    return std::visit(
        Overloaded{
            [](const ReadFailure& failure) { return std::string(ReadFailureText(failure.column)); },
            [](const SaveFailure& failure) {
                return std::string(kSaveFailure) + failure.status.text;
            },
            [](const MoveRefused& move) {
                return RefusalText(move.refusal, move.fromVlan, move.toVlan);
            },
            [](const MoveEnded& move) { return MoveText(move.plan, move.report); },
            [](const NoVlanListed&) {
                return std::string("请先双击VLAN列表，显示端口所在VLAN的接口列表，未做任何修改!");
            },
            [](const ListsFromAnotherSwitch& lists) {
                return "列表中的VLAN信息读自" + lists.readFrom + "，而设备IP地址现为" + lists.now +
                       "，请先重新读取，未做任何修改!";
            }},
        notice);
}

}  // namespace tarnwick
