// How what the switch holds is printed: aligned text columns for people, JSON for scripts.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_context.h"
#include "vlan/member_ports.h"

namespace tarnwick::cli {

using TextRows = std::vector<std::vector<std::string>>;
// Each column but the last padded to its widest cell, two blanks apart; each line indented.
std::string AlignedColumns(const TextRows& rows, std::string_view indent = {});

// A number when the text is a decimal integer, else the text: for values a move prints, which
// are decimal by their making (the command line's VLANs, OID components, INTEGERs). VLAN IDs and
// interface indexes a switch sends are checked instead (vlan/identifiers.h).
QJsonValue NumberOrText(std::string_view text);
// An indented JSON document, ending in a line feed.
std::string JsonText(const QJsonObject& document);

// What a read command prints: text columns or JSON for stdout, and for stderr a warning for each
// VLAN row left out (its ID is not a VLAN ID) and each port listed without its ifIndex (not an
// interface index), so that every VLAN ID and ifIndex printed is a number, whatever the switch
// sends. Every other text of the switch reaches the text columns through TerminalText.
struct Output {
    std::string text;
    std::vector<std::string> warnings;
};

// The VLANs with each ID once, in their rows' order: a switch's table may claim one ID in many
// rows, and they are one VLAN. The first row wins; a warning names each later one.
std::vector<Vlan> DistinctVlans(std::vector<Vlan> vlans, std::vector<std::string>& warnings);

// What vlans, members and dump print, the same for every MIB. A port's "tagged" (JSON) is there
// when its MIB tells it; the text shows the TAGGED column (yes or no) with `taggedColumn`.
Output VlansOutput(const std::vector<Vlan>& vlans, bool json);
// `vlan` is the command line's, checked there.
Output MembersOutput(std::string_view vlan, const std::vector<MemberPort>& members, bool json,
                     bool taggedColumn);
// Members, in the order of the VLANs.
Output DumpOutput(const std::vector<Vlan>& vlans,
                  const std::vector<std::vector<MemberPort>>& members, bool json,
                  bool taggedColumn);

// Shows the warnings on stderr and writes the text; false when there was a warning.
bool PrintOutput(Context& context, const Output& output);

}  // namespace tarnwick::cli
