// Taking the main window's fields into the device settings, with the timeout's checks.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "vlan/dialog_ports.h"

class QLineEdit;

namespace tarnwick {

// A decimal integer with an optional sign and surrounding blanks, within 32 bits.
std::optional<std::int32_t> ParseFieldInteger(const QString& text);

QString IntegerPrompt();
QString RangePrompt(std::int32_t min, std::int32_t max);

struct SettingsFields {
    QLineEdit& ipAddress;
    QLineEdit& readCommunity;
    QLineEdit& timeout;
    QLineEdit& writeCommunity;
};

class DialogFieldExchange final : public FieldExchange {
public:
    DialogFieldExchange(SettingsFields fields, MessageBox& messages)
        : m_fields(fields), m_messages(messages) {}

    // IP address, read community, timeout, write community; texts as typed. A timeout that is no
    // integer or lies outside the range is prompted for, gets the focus back, and ends the
    // exchange with false, every setting as it was.
    bool TakeFields(DeviceSettings& settings) override;
    // Members to fields, once at start-up.
    void PutFields(const DeviceSettings& settings);

private:
    bool RejectTimeout(const QString& prompt);

    SettingsFields m_fields;
    MessageBox& m_messages;
};

}  // namespace tarnwick
