// Aligned text columns and JSON for what the switch holds.
#include "cli/output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "cli/terminal_text.h"
#include "snmp/decimal.h"
#include "snmp/display_text.h"
#include "vlan/identifiers.h"

namespace tarnwick::cli {
namespace {

// Characters, not bytes: UTF-8 continuation bytes take no column.
std::size_t TextWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

using Warnings = std::vector<std::string>;

std::string Quoted(std::string_view bytes) {
    return '"' + TerminalText(bytes) + '"';
}

// The row's VLAN ID; nothing, with a warning, when the switch's text is not one: the row is left
// out, as no command could name it.
std::optional<int> CheckedVlanId(const Vlan& vlan, Warnings& warnings) {
    const auto id = ParseVlanId(vlan.id);
    if (!id) {
        warnings.push_back("VLAN row with ID " + Quoted(vlan.id) +
                           " left out: not a VLAN ID 1-4094");
    }
    return id;
}

// The port's interface index; nothing when the port has none, or, with a warning, when the
// switch's text is not one.
std::optional<std::int32_t> CheckedIfIndex(const MemberPort& member, std::string_view vlan,
                                           Warnings& warnings) {
    if (!member.ifIndex) {
        return std::nullopt;
    }
    const auto index = ParseIfIndex(*member.ifIndex);
    if (!index) {
        warnings.push_back("port " + std::to_string(member.port) + " of VLAN " + std::string(vlan) +
                           " listed without its ifIndex " + Quoted(*member.ifIndex) +
                           ": not an ifIndex 1-2147483647");
    }
    return index;
}

QJsonObject VlanJson(int id, const Vlan& vlan) {
    return {{QStringLiteral("id"), id},
            {QStringLiteral("name"), DisplayText(vlan.name.value_or(""))}};
}

// A port without an ifIndex row has no "ifIndex"; one whose ifIndex is not one has null.
QJsonArray PortsJson(const std::vector<MemberPort>& members, std::string_view vlan,
                     Warnings& warnings) {
    QJsonArray ports;
    for (const MemberPort& member : members) {
        QJsonObject port{{QStringLiteral("port"), member.port}};
        if (member.ifIndex) {
            const auto index = CheckedIfIndex(member, vlan, warnings);
            port.insert(QStringLiteral("ifIndex"), index ? QJsonValue(*index) : QJsonValue());
        }
        if (member.ifName) {
            port.insert(QStringLiteral("ifName"), DisplayText(*member.ifName));
        }
        if (member.tagged) {
            port.insert(QStringLiteral("tagged"), *member.tagged);
        }
        ports.append(port);
    }
    return ports;
}

std::string PortsText(const std::vector<MemberPort>& members, std::string_view vlan,
                      std::string_view indent, bool taggedColumn, Warnings& warnings) {
    TextRows rows{{"PORT", "IFINDEX", "IFNAME"}};
    if (taggedColumn) {
        rows.front().push_back("TAGGED");
    }
    for (const MemberPort& member : members) {
        const auto index = CheckedIfIndex(member, vlan, warnings);
        rows.push_back({std::to_string(member.port), index ? std::to_string(*index) : "",
                        member.ifName ? TerminalText(*member.ifName) : ""});
        if (taggedColumn) {
            rows.back().push_back(member.tagged.value_or(false) ? "yes" : "no");
        }
    }
    return AlignedColumns(rows, indent);
}

}  // namespace

std::string AlignedColumns(const TextRows& rows, std::string_view indent) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], TextWidth(row[column]));
        }
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line(indent);
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line.append(widths[column] - TextWidth(row[column]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    return text;
}

QJsonValue NumberOrText(std::string_view text) {
    if (const auto number = ParseDecimal<std::int64_t>(text)) {
        return static_cast<qint64>(*number);
    }
    return Utf8Text(text);
}

std::string JsonText(const QJsonObject& document) {
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

std::vector<Vlan> DistinctVlans(std::vector<Vlan> vlans, Warnings& warnings) {
    std::unordered_set<std::string> seen;
    std::vector<Vlan> distinct;
    for (Vlan& vlan : vlans) {
        const auto id = ParseVlanId(vlan.id);
        if (!seen.insert(id ? std::to_string(*id) : vlan.id).second) {
            warnings.push_back("VLAN row with ID " + Quoted(vlan.id) +
                               " left out: an earlier row has the same ID");
            continue;
        }
        distinct.push_back(std::move(vlan));
    }
    return distinct;
}

Output VlansOutput(const std::vector<Vlan>& vlans, bool json) {
    Output output;
    QJsonArray list;
    TextRows rows{{"ID", "NAME"}};
    for (const Vlan& vlan : vlans) {
        const auto id = CheckedVlanId(vlan, output.warnings);
        if (!id) {
            continue;
        }
        if (json) {
            list.append(VlanJson(*id, vlan));
        } else {
            rows.push_back({std::to_string(*id), TerminalText(vlan.name.value_or(""))});
        }
    }
    output.text = json ? JsonText({{QStringLiteral("vlans"), list}}) : AlignedColumns(rows);
    return output;
}

Output MembersOutput(std::string_view vlan, const std::vector<MemberPort>& members, bool json,
                     bool taggedColumn) {
    Output output;
    if (json) {
        const auto id = ParseVlanId(vlan);
        output.text =
            JsonText({{QStringLiteral("vlan"), id ? QJsonValue(*id) : QJsonValue()},
                      {QStringLiteral("ports"), PortsJson(members, vlan, output.warnings)}});
    } else {
        output.text = PortsText(members, vlan, "", taggedColumn, output.warnings);
    }
    return output;
}

Output DumpOutput(const std::vector<Vlan>& vlans,
                  const std::vector<std::vector<MemberPort>>& members, bool json,
                  bool taggedColumn) {
    Output output;
    QJsonArray list;
    for (std::size_t i = 0; i < vlans.size(); ++i) {
        const auto id = CheckedVlanId(vlans[i], output.warnings);
        if (!id) {
            continue;
        }
        const std::string vlan = std::to_string(*id);
        if (json) {
            QJsonObject item = VlanJson(*id, vlans[i]);
            item.insert(QStringLiteral("ports"), PortsJson(members[i], vlan, output.warnings));
            list.append(item);
            continue;
        }
        output.text += (output.text.empty() ? "" : "\n") + ("VLAN " + vlan) + "  " +
                       TerminalText(vlans[i].name.value_or("")) + '\n';
        if (!members[i].empty()) {
            output.text += PortsText(members[i], vlan, "  ", taggedColumn, output.warnings);
        }
    }
    if (json) {
        output.text = JsonText({{QStringLiteral("vlans"), list}});
    }
    return output;
}

bool PrintOutput(Context& context, const Output& output) {
    for (const std::string& warning : output.warnings) {
        context.messages.Show(warning);
    }
    context.out << output.text;
    return output.warnings.empty();
}

}  // namespace tarnwick::cli
