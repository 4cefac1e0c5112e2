// How a value the switch holds is shown as text, and how a text becomes the logic's bytes, in
// the window and in the shell alike.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <string>
#include <string_view>

namespace tarnwick {

// UTF-8 when the bytes are valid UTF-8; otherwise GB18030, the superset of the code page the
// switches' Chinese names are written in (falls back to UTF-8 with replacement characters). The
// printable form decides text or hex dump in the same order (IsPrintableOctets).
QString DisplayText(std::string_view bytes);

// A text the user typed or a front end shows, as the UTF-8 bytes the logic holds and sends.
std::string LogicText(const QString& text);

// The program's own texts (templates, addresses, the skin file, JSON's strings) and a page that
// names no charset: UTF-8, whatever the bytes.
inline QString Utf8Text(QByteArrayView utf8) {
    return QString::fromUtf8(utf8);
}

}  // namespace tarnwick
