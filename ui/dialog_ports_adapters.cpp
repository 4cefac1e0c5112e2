// The main window's side of the VLAN logic's interfaces (vlan/dialog_ports.h), each over
// framework widgets; the logic's bytes and the widgets' texts are converted here.
#include "ui/dialog_ports_adapters.h"

#include <QLineEdit>
#include <optional>

#include "ui/framework/field_exchange.h"
#include "ui/framework/message_box.h"
#include "ui/framework/report_list.h"
#include "ui/framework/text_conversion.h"
#include "ui/vlan_select_dlg.h"
#include "ui/window_texts.h"

namespace tarnwick {

int ReportListAdapter::SelectedCount() const {
    return m_view.SelectedCount();
}

int ReportListAdapter::FirstSelectedRow() const {
    return m_view.FirstSelectedRow();
}

std::string ReportListAdapter::ItemText(int row, int column) const {
    return LogicText(m_view.Model().Text(row, column));
}

void ReportListAdapter::InsertItem(int row, const std::string& text) {
    m_view.Model().InsertRow(row, DisplayText(text));
}

void ReportListAdapter::SetItemText(int row, int column, const std::string& text) {
    m_view.Model().SetText(row, column, DisplayText(text));
}

void ReportListAdapter::DeleteAllItems() {
    m_view.Model().Clear();
}

void QtMessageBox::Show(const Notice& notice) {
    ShowMessageBox(m_parent, DisplayText(WindowText(notice)));
}

void DialogCursorControl::SetCursor(CursorShape shape) {
    m_cursor.SetShape(shape == CursorShape::Wait ? Qt::WaitCursor : Qt::ArrowCursor);
}

bool DialogFieldExchange::TakeFields(DeviceSettings& settings) {
    // All or nothing: a command stops on a rejected field, and a half-taken set of values would
    // only be used by a later move.
    const std::optional<std::int32_t> timeout = ParseFieldInteger(m_fields.timeout.text());
    if (!timeout) {
        RejectField(m_fields.timeout, IntegerPrompt());
        return false;
    }
    if (!IsTimeoutInRange(*timeout)) {
        RejectField(m_fields.timeout, RangePrompt(kMinTimeout, kMaxTimeout));
        return false;
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

std::string DialogVlanSelection::Choose(const std::vector<std::string>& entries) {
    CVlanSelectDlg dialog(&m_owner);
    dialog.entries = entries;
    if (dialog.DoModal() != IDOK) {
        return {};
    }
    return dialog.chosenText;
}

}  // namespace tarnwick
