// The few operations the VLAN logic needs from the main window, as small interfaces.
// The window implements them with its widgets; tests implement them with plain fakes.
#pragma once

#include <string>
#include <vector>

#include "snmp/device_settings.h"
#include "vlan/notices.h"

namespace tarnwick {

// A report list that never sorts: a row inserted at index i stays at i.
class ReportList {
public:
    virtual ~ReportList() = default;
    virtual int SelectedCount() const = 0;
    virtual int FirstSelectedRow() const = 0;  // -1 when none is selected
    virtual std::string ItemText(int row, int column) const = 0;
    virtual void InsertItem(int row, const std::string& text) = 0;
    virtual void SetItemText(int row, int column, const std::string& text) = 0;
    virtual void DeleteAllItems() = 0;
};

// A modal message box with an OK button that words the notice; returns when the user has closed
// it.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void Show(const Notice& notice) = 0;
};

// The VLAN selection dialog: offers the entries (in a list sorted by text) and returns the chosen
// entry's text, or an empty text when the user chose none or cancelled.
class VlanSelection {
public:
    virtual ~VlanSelection() = default;
    virtual std::string Choose(const std::vector<std::string>& entries) = 0;
};

enum class CursorShape { Arrow, Wait };

// Sets the cursor over the dialog and its controls, taking effect at once.
class CursorControl {
public:
    virtual ~CursorControl() = default;
    virtual void SetCursor(CursorShape shape) = 0;
};

// Takes the window's fields into the settings. On a field that fails its check the window has
// already prompted and put the focus back there; the result is false and the command stops.
class FieldExchange {
public:
    virtual ~FieldExchange() = default;
    virtual bool TakeFields(DeviceSettings& settings) = 0;
};

}  // namespace tarnwick
