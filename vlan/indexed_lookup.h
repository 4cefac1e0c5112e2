// Finding the row of one instance in a walked table ("<oid>.<index>-<value>").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "snmp/snmp_agent.h"

namespace tarnwick {

// A WalkRow's OID: the text before its first "-" (a printable OID holds none).
std::string_view WalkRowOid(std::string_view row);
// The text behind a WalkRow's first "-", untrimmed; empty for a row without one.
std::string_view WalkRowValue(std::string_view row);

// The one rule for "the row of instance index", used by every lookup: the row's OID part (the
// text before its first "-") ends in "." + index and, when the column is given, is exactly
// column + "." + index. Only the OID part is matched, so a value that happens to hold
// ".<index>-" is never taken for the instance's row.
bool IsRowOfInstance(std::string_view row, std::string_view index, std::string_view column = {});

// The value of the first row of instance index, trimmed at both ends.
std::optional<std::string> FindIndexedValue(const WalkTable& table, std::string_view index);

// The same lookup over a table indexed once, for views that look up many instances. The table
// must outlive it and stay unchanged meanwhile.
class IndexedRows {
public:
    explicit IndexedRows(const WalkTable& table);
    std::optional<std::string> Find(std::string_view index) const;
    // The first row of the instance itself, for values whose blanks count (a hex dump's gap
    // before its characters may be all the blanks a row ends with); none without one.
    const std::string* FindRow(std::string_view index) const;

private:
    const WalkTable& m_table;
    std::unordered_map<std::string_view, std::size_t> m_firstRowOfInstance;
};

}  // namespace tarnwick
