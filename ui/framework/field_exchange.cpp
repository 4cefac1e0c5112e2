// Taking the main window's fields into the device settings, with the timeout's checks.
#include "ui/framework/field_exchange.h"

#include <QLineEdit>
#include <limits>

#include "ui/framework/text_conversion.h"

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

bool DialogFieldExchange::TakeFields(DeviceSettings& settings) {
    // All or nothing: a command stops on a rejected field, and a half-taken set of values would
    // only be used by a later move.
    const std::optional<std::int32_t> timeout = ParseFieldInteger(m_fields.timeout.text());
    if (!timeout) {
        return RejectTimeout(IntegerPrompt());
    }
    if (!IsTimeoutInRange(*timeout)) {
        return RejectTimeout(RangePrompt(kMinTimeout, kMaxTimeout));
    }
    settings.ipAddress = LogicText(m_fields.ipAddress.text());
    settings.readCommunity = LogicText(m_fields.readCommunity.text());
    settings.timeout = *timeout;
    settings.writeCommunity = LogicText(m_fields.writeCommunity.text());
    return true;
}

void DialogFieldExchange::PutFields(const DeviceSettings& settings) {
    m_fields.ipAddress.setText(DisplayText(settings.ipAddress));
    m_fields.readCommunity.setText(DisplayText(settings.readCommunity));
    m_fields.timeout.setText(QString::number(settings.timeout));
    m_fields.writeCommunity.setText(DisplayText(settings.writeCommunity));
}

bool DialogFieldExchange::RejectTimeout(const QString& prompt) {
    m_messages.Show(LogicText(prompt));
    m_fields.timeout.setFocus(Qt::OtherFocusReason);
    m_fields.timeout.selectAll();
    return false;
}

}  // namespace tarnwick
