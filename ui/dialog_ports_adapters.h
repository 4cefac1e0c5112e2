// The main window's side of the VLAN logic's interfaces (vlan/dialog_ports.h), each over
// framework widgets; the logic's bytes and the widgets' texts are converted here.
#pragma once

#include <string>
#include <vector>

#include "ui/framework/dialog_cursor.h"
#include "vlan/dialog_ports.h"

class QLineEdit;
class QWidget;

namespace tarnwick {

class ReportListView;

class ReportListAdapter final : public ReportList {
public:
    explicit ReportListAdapter(ReportListView& view) : m_view(view) {}

    int SelectedCount() const override;
    int FirstSelectedRow() const override;
    std::string ItemText(int row, int column) const override;
    void InsertItem(int row, const std::string& text) override;
    void SetItemText(int row, int column, const std::string& text) override;
    void DeleteAllItems() override;

private:
    ReportListView& m_view;
};

class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent) : m_parent(parent) {}
    // Shows the notice in the window's words and returns when the user has closed the box.
    void Show(const Notice& notice) override;

private:
    QWidget* m_parent;
};

class DialogCursorControl final : public CursorControl {
public:
    // Puts the arrow over the dialog and every control at once.
    explicit DialogCursorControl(QWidget& dialog) : m_cursor(dialog) {}
    void SetCursor(CursorShape shape) override;

private:
    DialogCursor m_cursor;
};

struct SettingsFields {
    QLineEdit& ipAddress;
    QLineEdit& readCommunity;
    QLineEdit& timeout;
    QLineEdit& writeCommunity;
};

class DialogFieldExchange final : public FieldExchange {
public:
    explicit DialogFieldExchange(SettingsFields fields) : m_fields(fields) {}

    // IP address, read community, timeout, write community; texts as typed. A timeout that is no
    // integer or lies outside the range is prompted for, gets the focus back, and ends the
    // exchange with false, every setting as it was.
    bool TakeFields(DeviceSettings& settings) override;
    // Members to fields, once at start-up.
    void PutFields(const DeviceSettings& settings);

private:
    SettingsFields m_fields;
};

// The selection over a CVlanSelectDlg built anew for every choice.
class DialogVlanSelection final : public VlanSelection {
public:
    explicit DialogVlanSelection(QWidget& owner) : m_owner(owner) {}
    std::string Choose(const std::vector<std::string>& entries) override;

private:
    QWidget& m_owner;
};

}  // namespace tarnwick
