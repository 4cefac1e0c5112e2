// Data exchange with a dialog's edit fields: the integer check, its prompts, and what a field
// that fails its check gets.
#include "ui/framework/field_exchange.h"

#include <QLineEdit>
#include <limits>

#include "ui/framework/message_box.h"

namespace tarnwick {

std::optional<std::int32_t> ParseFieldInteger(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

QString IntegerPrompt() {
    return QStringLiteral("请输入一个整数。");
}

QString RangePrompt(std::int32_t min, std::int32_t max) {
    return QStringLiteral("请输入一个介于 %1 和 %2 之间的整数。").arg(min).arg(max);
}

void RejectField(QLineEdit& field, const QString& prompt) {
    ShowMessageBox(field.window(), prompt);
    field.setFocus(Qt::OtherFocusReason);
    field.selectAll();
}

}  // namespace tarnwick
