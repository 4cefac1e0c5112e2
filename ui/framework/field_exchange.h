// Data exchange with a dialog's edit fields: the integer check, its prompts, and what a field
// that fails its check gets.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace tarnwick {

// A decimal integer with an optional sign and surrounding blanks, within 32 bits.
std::optional<std::int32_t> ParseFieldInteger(const QString& text);

QString IntegerPrompt();
QString RangePrompt(std::int32_t min, std::int32_t max);

// The prompt in a message box over the field's window; once it is closed, the focus goes back to
// the field with its whole text selected.
void RejectField(QLineEdit& field, const QString& prompt);

}  // namespace tarnwick
