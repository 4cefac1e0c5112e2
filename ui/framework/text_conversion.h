// The conversions between the logic's byte strings and Qt's texts: DisplayText, which the shell
// shares, and LogicText.
#pragma once

#include <QString>
#include <string>

#include "snmp/display_text.h"  // DisplayText: the switch's bytes as text

namespace tarnwick {

// The UTF-8 bytes of a text the user typed or a cell shows.
inline std::string LogicText(const QString& text) {
    return text.toStdString();
}

}  // namespace tarnwick
