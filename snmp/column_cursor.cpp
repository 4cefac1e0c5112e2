// The rules of one column's walk, applied answer by answer.
#include "snmp/column_cursor.h"

#include <utility>

#include "snmp/walk_bounds.h"

namespace tarnwick::netsnmp {
namespace {

using End = WalkOutcome::End;

// GETNEXT must move forward; an agent answering with the same or a smaller OID would
// otherwise keep the walk going for ever, so such an answer ends it as a failure.
bool Advances(const Oid& received, const Oid& requested) {
    return snmp_oid_compare(received.data(), received.size(), requested.data(), requested.size()) >
           0;
}

// SNMPv2's markers in place of a value: nothing follows in the agent's view.
bool EndsTheView(const netsnmp_variable_list& binding) {
    return binding.type == SNMP_ENDOFMIBVIEW || binding.type == SNMP_NOSUCHOBJECT ||
           binding.type == SNMP_NOSUCHINSTANCE;
}

std::string MakeRow(const std::string& printableOid, const netsnmp_variable_list& binding,
                    const WalkRequest& request) {
    auto value = PrintableValue(binding, request.octetForm);
    if (request.rowForm == RowForm::Value) {
        return value;
    }
    return printableOid + "-" + value;
}

}  // namespace

bool ReadBudget::Take(std::size_t octets) {
    if (octets > m_left) {
        return false;
    }
    m_left -= octets;
    return true;
}

ColumnCursor::ColumnCursor(const ColumnToWalk& column, ReadBudget& budget)
    : m_request(column.request), m_table(column.table), m_values(column.values), m_budget(budget) {
    const auto columnOid = ToOid(m_request.columnOid);
    if (!columnOid) {
        End(End::FirstRequestFailed, MakeStatus(SNMPERR_UNKNOWN_OBJID));
        return;
    }
    // The column test is a plain substring search: column 10 after column 1 counts as inside.
    m_columnText = PrintableOid(*columnOid);
    m_requested = *columnOid;
}

void ColumnCursor::End(WalkOutcome::End end, SnmpStatus status) {
    m_ended = true;
    m_outcome = {end, std::move(status)};
}

void ColumnCursor::Abandon(SnmpStatus status) {
    End(End::FirstRequestFailed, std::move(status));
}

void ColumnCursor::RequestFailed(SnmpStatus status) {
    if (m_first) {
        End(End::FirstRequestFailed, std::move(status));
    } else if (status.code == SNMP_ERR_NOSUCHNAME) {
        End(End::Complete);
    } else if (m_resends == kMidWalkResends) {
        End(End::GaveUpMidWalk, std::move(status));
    } else {
        ++m_resends;
    }
}

void ColumnCursor::Take(const netsnmp_variable_list* binding) {
    m_first = false;
    m_resends = 0;
    if (binding == nullptr) {
        return End(End::BadAnswer, MakeStatus(SNMPERR_NO_VARS));
    }
    if (EndsTheView(*binding)) {
        return End(End::Complete);
    }
    auto received = ToOid(*binding);
    if (!Advances(received, m_requested)) {
        return End(End::BadAnswer, MakeStatus(SNMPERR_OID_NONINCREASING));
    }
    const std::string printableOid = PrintableOid(received);
    // Typed rows are the column's own: strictly below it.
    const bool inColumn = m_values ? printableOid.starts_with(m_columnText + ".")
                                   : printableOid.find(m_columnText) != std::string::npos;
    if (!inColumn) {
        return End(End::Complete);
    }
    // A column of exactly a bound still ends well: only a row past it is a failure.
    if (m_rows == kMaxWalkRows) {
        return End(End::TooManyRows, MakeStatus(SNMPERR_TOO_LONG));
    }
    if (!Store(printableOid, *binding)) {
        return End(End::TooLarge, MakeStatus(SNMPERR_TOO_LONG));
    }
    ++m_rows;
    m_requested = std::move(received);
}

bool ColumnCursor::Store(const std::string& printableOid, const netsnmp_variable_list& binding) {
    const bool below = printableOid.starts_with(m_columnText + ".");
    std::string instance = below ? printableOid.substr(m_columnText.size() + 1) : "";
    if (m_values) {
        // A value of a type a read does not take is stored as its printable form.
        SnmpValue value =
            ValueOf(binding).value_or(OctetString{PrintableValue(binding, m_request.octetForm)});
        const std::string* octets = OctetsIn(value);
        if (!m_budget.Take(instance.size() + (octets ? octets->size() : sizeof value))) {
            return false;
        }
        m_values->push_back({std::move(instance), std::move(value)});
        return true;
    }
    std::string row = MakeRow(printableOid, binding, m_request);
    if (!m_budget.Take(row.size())) {
        return false;
    }
    m_table->push_back(std::move(row));
    if (m_request.instances) {
        m_request.instances->push_back(std::move(instance));
    }
    return true;
}

}  // namespace tarnwick::netsnmp
