// The main window's commands on the switch's VLANs, written against small interfaces.
#include "main_dialog_logic.h"

#include <string>

#include "port_bitmap.h"
#include "walk_column.h"

namespace tarnwick {
namespace {

// The wait cursor and the busy flag for the length of a command, reset on every way out.
class BusyScope {
public:
    BusyScope(bool& busy, CursorControl& cursor) : m_busy(busy), m_cursor(cursor) {
        m_cursor.SetCursor(CursorShape::Wait);
        m_busy = true;
    }
    ~BusyScope() {
        m_cursor.SetCursor(CursorShape::Arrow);
        m_busy = false;
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
    CursorControl& m_cursor;
};

std::string VlanKey(const std::string& vlanId) {
    return std::string(kVlanPortsColumn) + "." + vlanId + "-";
}

// The text behind the row's first "-"; the OID before it holds none.
std::string_view RowValue(std::string_view row) {
    const std::size_t dash = row.find('-');
    if (dash == std::string_view::npos) {
        return {};
    }
    return row.substr(dash + 1);
}

}  // namespace

MainDialogLogic::MainDialogLogic(DialogState& state, DialogPorts ports)
    : m_state(state), m_ports(ports) {}

void MainDialogLogic::ReadDevice() {
    // A field that failed its check has been prompted for; reading with it would be a guess.
    if (!m_ports.fields.TakeFields(m_state.settings)) {
        return;
    }
    m_ports.vlanList.DeleteAllItems();
    const BusyScope busy(m_state.busy, m_ports.cursor);
    for (const ColumnWalk& walk : kColumnWalks) {
        (m_state.tables.*walk.table).clear();
    }
    for (const ColumnWalk& walk : kColumnWalks) {
        WalkColumn(m_ports.snmp, m_ports.messages, m_state.settings, walk.request,
                   m_state.tables.*walk.table, walk.failureMessage);
    }
    if (!m_state.tables.vlanIdTable.empty()) {
        FillVlanList();
    }
}

void MainDialogLogic::FillVlanList() {
    const WalkTable& ids = m_state.tables.vlanIdTable;
    const WalkTable& names = m_state.tables.vlanNameTable;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto item = static_cast<int>(i);
        m_ports.vlanList.InsertItem(item, ids[i]);
        // The name walk may have failed or ended early: such VLANs show no name.
        m_ports.vlanList.SetItemText(item, 1, i < names.size() ? names[i] : std::string());
    }
}

void MainDialogLogic::OnDblclkVlanList() {
    ShowVlanMembers();
}

void MainDialogLogic::ShowVlanMembers() {
    ReportList& vlans = m_ports.vlanList;
    if (vlans.SelectedCount() != 1) {
        return;
    }
    const int selected = vlans.FirstSelectedRow();
    if (selected < 0) {
        return;
    }
    const std::string key = VlanKey(vlans.ItemText(selected, 0));
    m_ports.interfaceList.DeleteAllItems();
    m_state.memberRowCounter = 0;
    const MemberLookups lookups = IndexMemberTables();
    for (const std::string& row : m_state.tables.vlanPortsTable) {
        if (row.find(key) != std::string::npos) {
            FillMemberView(RowValue(row), lookups);
        }
    }
}

MainDialogLogic::MemberLookups MainDialogLogic::IndexMemberTables() const {
    return {IndexedRows(m_state.tables.portIfIndexTable), IndexedRows(m_state.tables.ifNameTable)};
}

void MainDialogLogic::FillMemberView(std::string_view rowValue, const MemberLookups& lookups) {
    for (const int port : DecodePortBitmap(rowValue)) {
        AddMemberPortRow(port, lookups);
    }
}

void MainDialogLogic::AddMemberPortRow(int port, const MemberLookups& lookups) {
    ReportList& interfaces = m_ports.interfaceList;
    const int row = m_state.memberRowCounter++;
    const std::string portText = std::to_string(port);
    interfaces.InsertItem(row, portText);
    const std::optional<std::string> ifIndex = lookups.portIfIndex.Find(portText);
    if (!ifIndex) {
        return;
    }
    interfaces.SetItemText(row, 1, *ifIndex);
    const std::optional<std::string> name = lookups.ifName.Find(*ifIndex);
    if (name) {
        interfaces.SetItemText(row, 2, *name);
    }
}

}  // namespace tarnwick
