// Where the walk of one column stands, and the rules every answer about it obeys: the column ends
// when an answer leaves it (a plain substring test), a failed request is resent a bounded number
// of times, an answer that does not advance or goes on past the row or size bound ends it as a
// failure.
// The one-column walk and the reads of several columns at once share these rules, so they store
// the same rows and end the same way. Internal to the SNMP layer.
#pragma once

#include <cstddef>
#include <string>

#include "snmp/net_snmp_values.h"

namespace tarnwick::netsnmp {

// The row text a read may still store: the columns of a read of several share one, so the whole
// read stays inside its bound.
class ReadBudget {
public:
    explicit ReadBudget(std::size_t octets) : m_left(octets) {}
    // Takes the octets when they fit in what is left.
    bool Take(std::size_t octets);

private:
    std::size_t m_left;
};

class ColumnCursor {
public:
    // Appends to the column's table, printable or typed, each row's size taken from the budget; a
    // malformed column OID ends the walk before any request.
    ColumnCursor(const ColumnToWalk& column, ReadBudget& budget);

    bool Ended() const { return m_ended; }
    const WalkOutcome& Outcome() const { return m_outcome; }
    // The OID the next GETNEXT (or GETBULK) asks the successor of.
    const Oid& Requested() const { return m_requested; }

    // A request that asked for this column failed with the status: the first request's failure
    // ends the walk with nothing stored; SNMPv1's noSuchName past the end of the agent's MIB view
    // ends it quietly; any other failure is resent until the bound.
    void RequestFailed(SnmpStatus status);
    // The answer's binding for this column (none: the answer held none).
    void Take(const netsnmp_variable_list* binding);
    // No request could be sent at all (the session did not open).
    void Abandon(SnmpStatus status);

private:
    void End(WalkOutcome::End end, SnmpStatus status = {});

    // Stores the row; false when the budget has no room for it.
    bool Store(const std::string& printableOid, const netsnmp_variable_list& binding);

    const WalkRequest& m_request;
    WalkTable* m_table;
    ValueTable* m_values;
    ReadBudget& m_budget;
    std::string m_columnText;
    Oid m_requested;
    bool m_first = true;
    bool m_ended = false;
    int m_resends = 0;
    std::size_t m_rows = 0;
    WalkOutcome m_outcome;
};

}  // namespace tarnwick::netsnmp
