// Several columns read together: every request carries each column still going, so a table of
// n columns takes the round trips of its longest column rather than of all n, and SNMPv2c and
// SNMPv3 fetch many rows per round trip with GETBULK. Each column keeps its own cursor, so its
// rows and its end are those of its one-column walk.
#include "snmp/column_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "snmp/column_cursor.h"
#include "snmp/net_snmp_session.h"

namespace tarnwick {
namespace {

using netsnmp::ColumnCursor;
using netsnmp::Pdu;
using netsnmp::Reply;

// GETBULK asks for about this many bindings, spread over the columns still going; an agent that
// finds the answer too big gets asked for half as many rows.
constexpr long kBulkBindings = static_cast<long>(kBindingsPerRequest);

class ColumnReader {
public:
    ColumnReader(const DeviceSettings& settings, std::span<const ColumnToWalk> columns,
                 std::size_t maxOctets)
        : m_bulk(settings.version != SnmpVersion::V1), m_budget(maxOctets) {
        m_cursors.reserve(columns.size());
        for (const ColumnToWalk& column : columns) {
            m_cursors.emplace_back(column, m_budget);
        }
    }

    std::vector<WalkOutcome> Read(const DeviceSettings& settings, WaitSlices& waiting) {
        auto opened = netsnmp::OpenSession(settings, settings.readCommunity, waiting);
        for (ColumnCursor& cursor : m_cursors) {
            if (!opened.session && !cursor.Ended()) {
                cursor.Abandon(opened.status);
            }
        }
        while (true) {
            const std::vector<ColumnCursor*> going = Going();
            if (going.empty()) {
                break;
            }
            if (m_oneAtATime) {
                for (ColumnCursor* cursor : going) {
                    Step(opened.session.get(), {cursor});
                }
            } else {
                Step(opened.session.get(), going);
            }
        }
        std::vector<WalkOutcome> outcomes;
        for (const ColumnCursor& cursor : m_cursors) {
            outcomes.push_back(cursor.Outcome());
        }
        return outcomes;
    }

private:
    std::vector<ColumnCursor*> Going() {
        std::vector<ColumnCursor*> going;
        for (ColumnCursor& cursor : m_cursors) {
            if (!cursor.Ended()) {
                going.push_back(&cursor);
            }
        }
        return going;
    }

    long Repetitions(std::size_t columns) const {
        return std::max(1L, m_bulkBindings / static_cast<long>(columns));
    }

    // One request for the columns, its answer given to each.
    void Step(void* session, const std::vector<ColumnCursor*>& columns) {
        const long repetitions = m_bulk ? Repetitions(columns.size()) : 1;
        Pdu request(snmp_pdu_create(m_bulk ? SNMP_MSG_GETBULK : SNMP_MSG_GETNEXT));
        bool built = request != nullptr;
        if (built && m_bulk) {
            request->non_repeaters = 0;
            request->max_repetitions = repetitions;
        }
        for (const ColumnCursor* cursor : columns) {
            built = built && netsnmp::AddNullBinding(*request, cursor->Requested());
        }
        Reply reply = built ? netsnmp::Exchange(session, std::move(request))
                            : Reply{netsnmp::MakeStatus(SNMPERR_GENERR), nullptr};
        if (reply.status.ok()) {
            return Distribute(*reply.response, columns);
        }
        const int code = reply.status.code;
        if (code == SNMP_ERR_TOOBIG && m_bulk && repetitions > 1) {
            m_bulkBindings = repetitions / 2 * static_cast<long>(columns.size());
            return;
        }
        if (columns.size() == 1) {
            return columns.front()->RequestFailed(std::move(reply.status));
        }
        // SNMPv1 names the binding past the end of the agent's MIB view; the others go on.
        const long named = reply.response ? reply.response->errindex : 0;
        if (code == SNMP_ERR_NOSUCHNAME && !m_bulk && named >= 1 &&
            static_cast<std::size_t>(named) <= columns.size()) {
            return columns[static_cast<std::size_t>(named) - 1]->RequestFailed(
                std::move(reply.status));
        }
        if (code == SNMP_ERR_TOOBIG) {
            m_oneAtATime = true;
        }
        if (code > 0) {
            // An error for a request of several columns: each column's own request tells
            // whose it is, as its one-column walk would have learnt.
            for (ColumnCursor* cursor : columns) {
                Step(session, {cursor});
            }
            return;
        }
        // No answer, or the library's own failure: the same for every column in the request.
        for (ColumnCursor* cursor : columns) {
            cursor->RequestFailed(reply.status);
        }
    }

    // GETNEXT answers one binding per column in order; GETBULK one such row per repetition,
    // perhaps fewer than asked. A column takes its bindings until it ends; a column the answer
    // does not reach asks again from where it stands.
    void Distribute(const netsnmp_pdu& response, const std::vector<ColumnCursor*>& columns) {
        const netsnmp_variable_list* binding = response.variables;
        if (!m_bulk || binding == nullptr) {
            for (ColumnCursor* cursor : columns) {
                cursor->Take(binding);
                binding = binding != nullptr ? binding->next_variable : nullptr;
            }
            return;
        }
        for (std::size_t i = 0; binding != nullptr; ++i, binding = binding->next_variable) {
            ColumnCursor* cursor = columns[i % columns.size()];
            if (!cursor->Ended()) {
                cursor->Take(binding);
            }
        }
    }

    bool m_bulk;
    bool m_oneAtATime = false;  // after a tooBig for one row of several columns
    long m_bulkBindings = kBulkBindings;
    netsnmp::ReadBudget m_budget;  // before the cursors, which hold it
    std::vector<ColumnCursor> m_cursors;
};

}  // namespace

std::vector<WalkOutcome> netsnmp::ReadTogether(const DeviceSettings& settings,
                                               std::span<const ColumnToWalk> columns,
                                               WaitSlices& waiting, std::size_t maxOctets) {
    return ColumnReader(settings, columns, maxOctets).Read(settings, waiting);
}

}  // namespace tarnwick
