// The main window's commands on the switch's VLANs, written against small interfaces.
#include "vlan/main_dialog_logic.h"

#include <string>

#include "snmp/decimal.h"
#include "vlan/port_move.h"

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

// The list's one selected row; nothing unless exactly one row is selected.
std::optional<int> SingleSelectedRow(const ReportList& list) {
    if (list.SelectedCount() != 1) {
        return std::nullopt;
    }
    const int selected = list.FirstSelectedRow();
    return selected < 0 ? std::nullopt : std::optional<int>(selected);
}

}  // namespace

MainDialogLogic::MainDialogLogic(DialogState& state, DialogPorts ports)
    : m_state(state), m_ports(ports) {}

void MainDialogLogic::ReadDevice() {
    // A field that failed its check has been prompted for; reading with it would be a guess.
    if (!m_ports.fields.TakeFields(m_state.settings)) {
        return;
    }
    m_state.shownVlan.reset();
    m_state.tablesFrom = ParseDeviceAddress(m_state.settings.ipAddress);
    m_state.tablesFromText = m_state.settings.ipAddress;
    m_ports.vlanList.DeleteAllItems();
    const BusyScope busy(m_state.busy, m_ports.cursor);
    // A name that does not resolve stays unpinned: each walk then fails with its own message.
    m_state.tablesAt = ResolveDeviceAddress(m_state.settings.ipAddress);
    ReadColumns(m_ports.snmp, AtTheTablesSwitch(), m_state.tables, kEveryColumn,
                ShowingFailures(m_ports.messages));
    if (!m_state.tables.vlanIdTable.empty()) {
        FillVlanList();
    }
}

void MainDialogLogic::FillVlanList() {
    int item = 0;
    for (const Vlan& vlan : VlansOf(m_state.tables)) {
        m_ports.vlanList.InsertItem(item, vlan.id);
        m_ports.vlanList.SetItemText(item++, 1, vlan.name.value_or(""));
    }
}

void MainDialogLogic::OnDblclkVlanList() {
    ShowVlanMembers();
}

void MainDialogLogic::ShowVlanMembers() {
    const std::optional<int> selected = SingleSelectedRow(m_ports.vlanList);
    if (!selected) {
        return;
    }
    DrawVlanMembers(m_ports.vlanList.ItemText(*selected, 0));
}

void MainDialogLogic::DrawVlanMembers(const std::string& vlanId) {
    m_state.shownVlan = vlanId;
    m_ports.interfaceList.DeleteAllItems();
    m_state.memberRowCounter = 0;
    for (const MemberPort& member : MemberPorts(m_state.tables, vlanId)) {
        AddMemberPortRow(member);
    }
}

void MainDialogLogic::AddMemberPortRow(const MemberPort& member) {
    ReportList& interfaces = m_ports.interfaceList;
    const int row = m_state.memberRowCounter++;
    interfaces.InsertItem(row, std::to_string(member.port));
    if (member.ifIndex) {
        interfaces.SetItemText(row, 1, *member.ifIndex);
    }
    if (member.ifName) {
        interfaces.SetItemText(row, 2, *member.ifName);
    }
}

void MainDialogLogic::OnDblclkInterfaceList() {
    const std::optional<int> selected = SingleSelectedRow(m_ports.interfaceList);
    if (!selected) {
        return;
    }
    std::vector<std::string> entries;
    for (const Vlan& vlan : VlansOf(m_state.tables)) {
        entries.push_back(vlan.id + "/" + vlan.name.value_or(""));
    }
    const std::string chosen = m_ports.vlanSelection.Choose(entries);
    if (!chosen.empty()) {
        ChangePortVlan(m_ports.interfaceList.ItemText(*selected, 0),
                       chosen.substr(0, chosen.find('/')));
    }
    // Whatever was chosen, the list shows what the switch holds now.
    RereadVlanPorts();
    if (m_state.shownVlan) {
        DrawVlanMembers(*m_state.shownVlan);
    }
}

void MainDialogLogic::ChangePortVlan(const std::string& portText, const std::string& newVlanId) {
    if (!m_state.shownVlan) {
        m_ports.messages.Show(NoVlanListed{});
        return;
    }
    if (!SettingsNameTheTablesSwitch()) {
        return;
    }
    // The interface list holds ports as "%d"; anything else is no port.
    const int port = ParseDecimal<int>(portText).value_or(0);
    const std::span<const int> ports(&port, 1);
    const DeviceSettings settings = AtTheTablesSwitch();
    const PlannedMove planned =
        PlanPortMove(m_ports.snmp, settings, *m_state.shownVlan, newVlanId, ports);
    if (const auto* refusal = std::get_if<MoveRefusal>(&planned)) {
        // The port's own VLAN chosen: nothing to do, nothing to say.
        if (refusal->reason != MoveRefusal::Reason::SameVlan) {
            m_ports.messages.Show(MoveRefused{*refusal, *m_state.shownVlan, newVlanId});
        }
        return;
    }
    const MovePlan& plan = std::get<MovePlan>(planned);
    MoveReport report = SendMove(m_ports.snmp, settings, plan);
    if (!report.AllMoved()) {
        m_ports.messages.Show(MoveEnded{plan, std::move(report)});
    }
}

// "写入FLASH" takes the fields too: the settings may now name a switch the tables are not from.
bool MainDialogLogic::SettingsNameTheTablesSwitch() {
    const auto now = ParseDeviceAddress(m_state.settings.ipAddress);
    if (now && now == m_state.tablesFrom) {
        return true;
    }
    m_ports.messages.Show(
        ListsFromAnotherSwitch{m_state.tablesFromText, m_state.settings.ipAddress});
    return false;
}

DeviceSettings MainDialogLogic::AtTheTablesSwitch() const {
    DeviceSettings settings = m_state.settings;
    settings.pinnedAddress = m_state.tablesAt;
    return settings;
}

void MainDialogLogic::RereadVlanPorts() {
    const Column vlanPorts = &VlanTables::vlanPortsTable;
    ReadColumns(m_ports.snmp, AtTheTablesSwitch(), m_state.tables, {&vlanPorts, 1},
                ShowingFailures(m_ports.messages));
}

void MainDialogLogic::OnWriteFlash() {
    // A field that failed its check has been prompted for; saving with a guess is not asked for.
    if (!m_ports.fields.TakeFields(m_state.settings)) {
        return;
    }
    // A failure is shown while busy: the flag is cleared only once the box is closed.
    const BusyScope busy(m_state.busy, m_ports.cursor);
    if (SnmpStatus status = SaveConfiguration(m_ports.snmp, m_state.settings, kVendorMib);
        !status.ok()) {
        m_ports.messages.Show(SaveFailure{std::move(status)});
    }
}

}  // namespace tarnwick
