// The switch's text made harmless for a terminal.
#include "cli/terminal_text.h"

#include <QString>

#include "snmp/display_text.h"

namespace tarnwick::cli {
namespace {

// Every character escaped lies in the Basic Multilingual Plane, so one UTF-16 unit decides.
bool IsEscaped(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069) || c == u'\\';
}

void AppendEscape(std::string& shown, char16_t c) {
    switch (c) {
        case u'\r':
            shown += "\\r";
            return;
        case u'\n':
            shown += "\\n";
            return;
        case u'\t':
            shown += "\\t";
            return;
        case u'\\':
            shown += "\\\\";
            return;
        default:
            break;
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    shown += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        shown += kHex[(c >> shift) & 0xF];
    }
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
    const QString text = DisplayText(bytes);
    std::string shown;
    shown.reserve(static_cast<std::size_t>(text.size()));
    qsizetype kept = 0;  // start of the run of characters not yet appended
    const auto keepRun = [&](qsizetype end) { shown += LogicText(text.sliced(kept, end - kept)); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (IsEscaped(c)) {
            keepRun(i);
            kept = i + 1;
            AppendEscape(shown, c);
        }
    }
    keepRun(text.size());
    return shown;
}

}  // namespace tarnwick::cli
