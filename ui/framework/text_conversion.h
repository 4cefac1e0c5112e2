// Every conversion between the logic's byte strings and Qt's texts, in one place.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tarnwick {

// UTF-8 when the bytes are valid UTF-8; otherwise GB18030, the superset of the code page the
// switches' Chinese names are written in (falls back to UTF-8 with replacement characters).
QString DisplayText(std::string_view bytes);

// The UTF-8 bytes of a text the user typed or a cell shows.
std::string LogicText(const QString& text);

}  // namespace tarnwick
