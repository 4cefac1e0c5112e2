// The parts of a move's report that read the same for either VLAN MIB.
#include "cli/move_output.h"

#include "cli/output.h"

namespace tarnwick::cli {

std::string_view OutcomeName(SetOutcome outcome) {
    switch (outcome) {
        case SetOutcome::Confirmed:
            return "confirmed";
        case SetOutcome::Refused:
            return "refused";
        case SetOutcome::NotSent:
            return "notSent";
        case SetOutcome::NoResponse:
            break;
    }
    return "noResponse";
}

std::string_view AppliedName(std::optional<bool> applied) {
    return !applied ? "unknown" : *applied ? "yes" : "no";
}

std::optional<std::vector<std::string>> ConfirmedVlans(const std::string& fromVlan,
                                                       const std::string& toVlan, PortPlace place) {
    switch (place) {
        case PortPlace::NewVlan:
            return std::vector{toVlan};
        case PortPlace::OldVlan:
            return std::vector{fromVlan};
        case PortPlace::Neither:
            return std::vector<std::string>{};
        case PortPlace::Both:
            return std::vector{fromVlan, toVlan};
        case PortPlace::Unknown:
            break;
    }
    return std::nullopt;
}

QJsonArray VlanArray(const std::vector<std::string>& vlans) {
    QJsonArray array;
    for (const std::string& vlan : vlans) {
        array.append(NumberOrText(vlan));
    }
    return array;
}

std::string VlanList(const std::vector<std::string>& vlans) {
    std::string text;
    for (const std::string& vlan : vlans) {
        text += (text.empty() ? "" : ",") + vlan;
    }
    return text;
}

}  // namespace tarnwick::cli
