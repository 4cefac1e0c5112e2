// How what the switch holds is printed: aligned text columns for people, JSON for scripts.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

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

}  // namespace tarnwick::cli
