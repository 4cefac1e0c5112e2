// Plain fakes of the window and the SNMP agent for the VLAN logic, with one shared journal of
// what happened in which order.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "snmp/snmp_agent.h"
#include "ui/window_texts.h"
#include "vlan/dialog_ports.h"
#include "vlan/main_dialog_logic.h"

namespace tarnwick::fakes {

using Journal = std::vector<std::string>;

// A fake given no journal (as in the benchmarks) notes nothing.
inline void Note(Journal* journal, std::string entry) {
    if (journal != nullptr) {
        journal->push_back(std::move(entry));
    }
}

// A list that never sorts; rows hold their cells, column 0 first.
class FakeReportList final : public ReportList {
public:
    FakeReportList(std::string name, Journal* journal)
        : m_name(std::move(name)), m_journal(journal) {}

    int SelectedCount() const override { return static_cast<int>(m_selected.size()); }
    int FirstSelectedRow() const override { return m_selected.empty() ? -1 : m_selected.front(); }
    std::string ItemText(int row, int column) const override {
        if (row < 0 || row >= RowCount()) {
            return {};
        }
        const auto& cells = m_rows[row];
        return column < static_cast<int>(cells.size()) ? cells[column] : std::string();
    }
    void InsertItem(int row, const std::string& text) override {
        const int at = row < 0 || row > RowCount() ? RowCount() : row;
        m_rows.insert(m_rows.begin() + at, std::vector<std::string>{text});
    }
    void SetItemText(int row, int column, const std::string& text) override {
        if (row < 0 || row >= RowCount() || column < 0) {
            return;
        }
        auto& cells = m_rows[row];
        if (static_cast<int>(cells.size()) <= column) {
            cells.resize(column + 1);
        }
        cells[column] = text;
    }
    void DeleteAllItems() override {
        m_rows.clear();
        m_selected.clear();
        Note(m_journal, m_name + " cleared");
    }

    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const std::vector<std::vector<std::string>>& Rows() const { return m_rows; }
    void Select(std::vector<int> rows) { m_selected = std::move(rows); }

private:
    std::string m_name;
    Journal* m_journal;
    std::vector<std::vector<std::string>> m_rows;
    std::vector<int> m_selected;
};

// Keeps each notice, and its text as the window words it.
class FakeMessageBox final : public MessageBox {
public:
    explicit FakeMessageBox(Journal* journal) : m_journal(journal) {}
    void Show(const Notice& notice) override {
        notices.push_back(notice);
        shown.push_back(WindowText(notice));
        Note(m_journal, "message " + shown.back());
    }
    std::vector<Notice> notices;
    std::vector<std::string> shown;

private:
    Journal* m_journal;
};

class FakeCursor final : public CursorControl {
public:
    explicit FakeCursor(Journal* journal) : m_journal(journal) {}
    void SetCursor(CursorShape shape) override {
        shapes.push_back(shape);
        Note(m_journal, shape == CursorShape::Wait ? "cursor wait" : "cursor arrow");
    }
    std::vector<CursorShape> shapes;

private:
    Journal* m_journal;
};

// Takes a loopback address, so nothing a test reads could ever reach a real switch.
class FakeFieldExchange final : public FieldExchange {
public:
    explicit FakeFieldExchange(Journal* journal) : m_journal(journal) {}
    bool TakeFields(DeviceSettings& settings) override {
        Note(m_journal, accept ? "fields taken" : "fields refused");
        settings.ipAddress = address;
        if (accept) {
            settings.writeCommunity = writeCommunity;
        }
        return accept;
    }
    bool accept = true;
    std::string writeCommunity = "private";  // what the field holds
    std::string address = "127.0.0.1:16161";

private:
    Journal* m_journal;
};

// Answers each column with scripted rows and an end; an unscripted column has no instance.
class FakeSnmpAgent final : public SnmpAgent {
public:
    struct Column {
        std::vector<std::string> rows;
        WalkOutcome::End end = WalkOutcome::End::Complete;
        std::vector<std::string> instances{};  // the rows', where the walk keeps them
    };
    struct WalkCall {
        std::string columnOid;
        RowForm rowForm;
        OctetForm octetForm;
        std::size_t rowsBefore;  // what the destination table held when the walk began
        bool busy;               // the window's busy flag while the walk ran
    };

    explicit FakeSnmpAgent(Journal* journal) : m_journal(journal) {}

    WalkOutcome Walk(const DeviceSettings& /*settings*/, const WalkRequest& request,
                     WalkTable& table) override {
        const std::string oid(request.columnOid);
        walks.push_back({oid, request.rowForm, request.octetForm, table.size(),
                         busyFlag != nullptr && *busyFlag});
        Note(m_journal, "walk " + oid);
        const auto found = columns.find(oid);
        if (found == columns.end()) {
            return {};
        }
        const Column& column = found->second;
        if (column.end != WalkOutcome::End::FirstRequestFailed) {
            table.insert(table.end(), column.rows.begin(), column.rows.end());
            if (request.instances) {
                request.instances->insert(request.instances->end(), column.instances.begin(),
                                          column.instances.end());
            }
        }
        return {column.end, {column.end == WalkOutcome::End::Complete ? 0 : -24, ""}};
    }
    // Typed reads answer from `valueColumns`; printable ones walk as Walk does.
    struct ValueColumn {
        ValueTable rows;
        WalkOutcome::End end = WalkOutcome::End::Complete;
    };
    std::vector<WalkOutcome> WalkColumns(const DeviceSettings& settings,
                                         std::span<const ColumnToWalk> toWalk) override {
        std::vector<WalkOutcome> outcomes;
        for (const ColumnToWalk& column : toWalk) {
            if (column.table) {
                outcomes.push_back(Walk(settings, column.request, *column.table));
                continue;
            }
            const ValueColumn& scripted = valueColumns[std::string(column.request.columnOid)];
            column.values->insert(column.values->end(), scripted.rows.begin(), scripted.rows.end());
            outcomes.push_back({scripted.end, {}});
        }
        return outcomes;
    }
    // Answers from `instances`; an instance it has not is noSuchName.
    GetResult Get(const DeviceSettings& /*settings*/,
                  const std::vector<std::string>& oids) override {
        Note(m_journal, "get");
        GetResult result;
        for (const std::string& oid : oids) {
            const auto found = instances.find(oid);
            if (found == instances.end()) {
                return {{kNoSuchNameStatus, "noSuchName"}, result.values.size() + 1, {}};
            }
            result.values.emplace_back(std::in_place_type<OctetString>, found->second);
        }
        return result;
    }
    struct SetCall {
        std::string oid;
        SnmpValue value;
        std::string writeCommunity;
        bool busy;
    };
    SetResult Set(const DeviceSettings& settings, std::string_view oid,
                  const SnmpValue& value) override {
        Note(m_journal, "set " + std::string(oid));
        sets.push_back(
            {std::string(oid), value, settings.writeCommunity, busyFlag != nullptr && *busyFlag});
        SetResult result;
        if (!setStatuses.empty()) {
            result = setStatuses.front();
            setStatuses.erase(setStatuses.begin());
        }
        // A switch holds what it confirmed.
        if (const std::string* octets = OctetsIn(value); octets && result.ok()) {
            instances[std::string(oid)] = *octets;
        }
        return result;
    }
    // A switch nobody else touches: nothing arrives late.
    void WaitOneTimeout(const DeviceSettings& /*settings*/) override { Note(m_journal, "wait"); }

    // Every walk fails at its first request, as against a switch that never answers.
    void Unreachable(const std::vector<std::string>& columnOids) {
        for (const std::string& oid : columnOids) {
            columns[oid] = {{}, WalkOutcome::End::FirstRequestFailed};
        }
    }

    std::map<std::string, Column> columns;
    std::map<std::string, ValueColumn> valueColumns;
    std::vector<WalkCall> walks;
    std::vector<SetCall> sets;
    std::vector<SetResult> setStatuses;  // answers to the next SETs, in order; then success
    std::map<std::string, std::string> instances;  // OCTET STRING values by OID, SETs applied
    const bool* busyFlag = nullptr;

private:
    Journal* m_journal;
};

// Answers the selection dialog with a scripted choice and keeps the entries it was offered.
class FakeVlanSelection final : public VlanSelection {
public:
    explicit FakeVlanSelection(Journal* journal) : m_journal(journal) {}
    std::string Choose(const std::vector<std::string>& entries) override {
        offered = entries;
        Note(m_journal, "choose " + choice);
        return choice;
    }
    std::string choice;  // empty: cancelled, or OK with nothing chosen
    std::vector<std::string> offered;

private:
    Journal* m_journal;
};

// The main window's state and every port it offers the logic, wired to one journal; SNMP goes to
// the fake agent, or to the given one.
struct FakeDialog {
    explicit FakeDialog(Journal* journal = nullptr, SnmpAgent* agent = nullptr)
        : vlanList("vlanList", journal),
          interfaceList("interfaceList", journal),
          messages(journal),
          cursor(journal),
          fields(journal),
          snmp(journal),
          vlanSelection(journal),
          logic(state, DialogPorts{vlanList, interfaceList, messages, cursor, fields,
                                   agent ? *agent : snmp, vlanSelection}) {
        snmp.busyFlag = &state.busy;
    }
    FakeDialog(const FakeDialog&) = delete;
    FakeDialog& operator=(const FakeDialog&) = delete;

    DialogState state;
    FakeReportList vlanList;
    FakeReportList interfaceList;
    FakeMessageBox messages;
    FakeCursor cursor;
    FakeFieldExchange fields;
    FakeSnmpAgent snmp;
    FakeVlanSelection vlanSelection;
    MainDialogLogic logic;
};

}  // namespace tarnwick::fakes
