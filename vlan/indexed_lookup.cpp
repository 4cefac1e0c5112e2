// Finding the row of one instance in a walked table ("<oid>.<index>-<value>").
#include "vlan/indexed_lookup.h"

#include "vlan/port_bitmap.h"

namespace tarnwick {
namespace {

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return std::string(text.substr(first, last - first + 1));
}

std::string RowValue(std::string_view row) {
    return Trimmed(row.substr(row.find('-') + 1));
}

const std::string* FirstRowOfInstance(const WalkTable& table, std::string_view index) {
    for (const std::string& row : table) {
        if (IsRowOfInstance(row, index)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

std::string_view WalkRowOid(std::string_view row) {
    return row.substr(0, row.find('-'));
}

std::string_view WalkRowValue(std::string_view row) {
    const std::size_t dash = row.find('-');
    return dash == std::string_view::npos ? std::string_view() : row.substr(dash + 1);
}

bool IsRowOfInstance(std::string_view row, std::string_view index, std::string_view column) {
    const std::size_t dash = row.find('-');
    if (dash == std::string_view::npos || dash <= index.size()) {
        return false;
    }
    const std::size_t dot = dash - index.size() - 1;
    return row[dot] == '.' && row.substr(dot + 1, index.size()) == index &&
           (column.empty() || row.substr(0, dot) == column);
}

std::optional<std::string> FindIndexedValue(const WalkTable& table, std::string_view index) {
    const std::string* row = FirstRowOfInstance(table, index);
    return row ? std::optional(RowValue(*row)) : std::nullopt;
}

// A row answers for index text t, when t holds no ".", exactly when t is the last component of
// the row's OID part; an index text with a "." is left to the linear scan.
IndexedRows::IndexedRows(const WalkTable& table) : m_table(table) {
    m_firstRowOfInstance.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const std::string_view oid = WalkRowOid(table[i]);
        const std::size_t dot = oid.rfind('.');
        if (oid.size() == table[i].size() || dot == std::string_view::npos) {
            continue;  // no "-", or no "."
        }
        m_firstRowOfInstance.emplace(oid.substr(dot + 1), i);
    }
}

std::optional<std::string> IndexedRows::Find(std::string_view index) const {
    const std::string* row = FindRow(index);
    return row ? std::optional(RowValue(*row)) : std::nullopt;
}

const std::string* IndexedRows::FindRow(std::string_view index) const {
    if (index.find('.') != std::string_view::npos) {
        return FirstRowOfInstance(m_table, index);
    }
    const auto found = m_firstRowOfInstance.find(index);
    return found == m_firstRowOfInstance.end() ? nullptr : &m_table[found->second];
}

}  // namespace tarnwick
