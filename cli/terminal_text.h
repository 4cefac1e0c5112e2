// How text from the switch reaches a terminal: anyone who can answer in the switch's name writes
// it, so nothing in it may move the cursor, start an escape sequence or reorder the line.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::cli {

// The switch's bytes as DisplayText decodes them, in UTF-8, with every C0 control, DEL, C1
// control (U+0080-U+009F) and bidi embedding, override or isolate (U+202A-U+202E,
// U+2066-U+2069) escaped: "\r", "\n" and "\t" for those three, "\u" and four upper-case hex
// digits for the others ("\u001B"). A backslash becomes "\\", so an escape the switch sends as
// text reads differently from one made here. Everything else, CJK text included, stays as it is.
std::string TerminalText(std::string_view bytes);

}  // namespace tarnwick::cli
