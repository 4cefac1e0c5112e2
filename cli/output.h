// How what the switch holds is printed: aligned text columns for people, JSON for scripts.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "vlan/member_ports.h"

namespace tarnwick::cli {

// A name as one cell of a text table, in UTF-8: no line breaks or other control characters.
std::string NameCell(std::string_view bytes);

using TextRows = std::vector<std::vector<std::string>>;
// Each column but the last padded to its widest cell, two blanks apart; each line indented.
std::string AlignedColumns(const TextRows& rows, std::string_view indent = {});

// A number when the text is a decimal integer, else the text: an INTEGER as the walk printed it.
QJsonValue NumberOrText(std::string_view text);
// An indented JSON document, ending in a line feed.
std::string JsonText(const QJsonObject& document);

// What vlans, members and dump print, the same for every MIB: text columns or JSON. A port's
// "tagged" (JSON) is there when its MIB tells it; the text shows the TAGGED column (yes or no)
// with `taggedColumn`.
std::string VlansOutput(const std::vector<Vlan>& vlans, bool json);
std::string MembersOutput(std::string_view vlan, const std::vector<MemberPort>& members, bool json,
                          bool taggedColumn);
// Members, in the order of the VLANs.
std::string DumpOutput(const std::vector<Vlan>& vlans,
                       const std::vector<std::vector<MemberPort>>& members, bool json,
                       bool taggedColumn);

}  // namespace tarnwick::cli
