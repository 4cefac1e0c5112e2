// Aligned text columns and JSON for what the switch holds.
#include "cli/output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cstdint>

#include "snmp/decimal.h"
#include "snmp/display_text.h"

namespace tarnwick::cli {
namespace {

// Characters, not bytes: UTF-8 continuation bytes take no column.
std::size_t TextWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

QJsonObject VlanJson(const Vlan& vlan) {
    return {{QStringLiteral("id"), NumberOrText(vlan.id)},
            {QStringLiteral("name"), DisplayText(vlan.name.value_or(""))}};
}

QJsonArray PortsJson(const std::vector<MemberPort>& members) {
    QJsonArray ports;
    for (const MemberPort& member : members) {
        QJsonObject port{{QStringLiteral("port"), member.port}};
        if (member.ifIndex) {
            port.insert(QStringLiteral("ifIndex"), NumberOrText(*member.ifIndex));
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

std::string PortsText(const std::vector<MemberPort>& members, std::string_view indent,
                      bool taggedColumn) {
    TextRows rows{{"PORT", "IFINDEX", "IFNAME"}};
    if (taggedColumn) {
        rows.front().push_back("TAGGED");
    }
    for (const MemberPort& member : members) {
        rows.push_back({std::to_string(member.port), member.ifIndex.value_or(""),
                        member.ifName ? NameCell(*member.ifName) : ""});
        if (taggedColumn) {
            rows.back().push_back(member.tagged.value_or(false) ? "yes" : "no");
        }
    }
    return AlignedColumns(rows, indent);
}

}  // namespace

std::string NameCell(std::string_view bytes) {
    QString text = DisplayText(bytes);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return text.trimmed().toStdString();
}

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
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string JsonText(const QJsonObject& document) {
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

std::string VlansOutput(const std::vector<Vlan>& vlans, bool json) {
    if (json) {
        QJsonArray list;
        for (const Vlan& vlan : vlans) {
            list.append(VlanJson(vlan));
        }
        return JsonText({{QStringLiteral("vlans"), list}});
    }
    TextRows rows{{"ID", "NAME"}};
    for (const Vlan& vlan : vlans) {
        rows.push_back({vlan.id, NameCell(vlan.name.value_or(""))});
    }
    return AlignedColumns(rows);
}

std::string MembersOutput(std::string_view vlan, const std::vector<MemberPort>& members, bool json,
                          bool taggedColumn) {
    if (json) {
        return JsonText({{QStringLiteral("vlan"), NumberOrText(vlan)},
                         {QStringLiteral("ports"), PortsJson(members)}});
    }
    return PortsText(members, "", taggedColumn);
}

std::string DumpOutput(const std::vector<Vlan>& vlans,
                       const std::vector<std::vector<MemberPort>>& members, bool json,
                       bool taggedColumn) {
    QJsonArray list;
    std::string text;
    for (std::size_t i = 0; i < vlans.size(); ++i) {
        if (json) {
            QJsonObject vlan = VlanJson(vlans[i]);
            vlan.insert(QStringLiteral("ports"), PortsJson(members[i]));
            list.append(vlan);
            continue;
        }
        text += (i == 0 ? "" : "\n") + ("VLAN " + vlans[i].id) + "  " +
                NameCell(vlans[i].name.value_or("")) + '\n';
        if (!members[i].empty()) {
            text += PortsText(members[i], "  ", taggedColumn);
        }
    }
    return json ? JsonText({{QStringLiteral("vlans"), list}}) : text;
}

}  // namespace tarnwick::cli
