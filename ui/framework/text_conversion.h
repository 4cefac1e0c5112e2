// Every conversion between the program's byte strings and Qt's texts in the window, each with
// the encoding it assumes in one line. DisplayText and LogicText are the shell's too:
//   DisplayText(bytes): a switch's or the logic's bytes: UTF-8 if valid, else GB18030.
//   LogicText(text): a text typed or shown, to the logic's bytes: UTF-8.
//   Utf8Text(bytes): the program's own texts, a page naming no charset, JSON's strings: UTF-8.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <string>

#include "snmp/display_text.h"

namespace tarnwick {

// The logic's bytes kept in a Qt container (an item's data) to be handed back: no encoding.
inline QByteArray QtBytes(const std::string& bytes) {
    return QByteArray::fromStdString(bytes);
}

// Bytes kept by QtBytes, back to the logic as they were: no encoding.
inline std::string LogicBytes(const QByteArray& bytes) {
    return bytes.toStdString();
}

}  // namespace tarnwick
