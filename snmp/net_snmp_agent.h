// SnmpAgent over Net-SNMP's single-session API: one session per walk, read or SET, 1 retry.
#pragma once

#include <cstddef>

#include "snmp/snmp_agent.h"

namespace tarnwick {

class NetSnmpAgent final : public SnmpAgent {
public:
    // A failed request in mid-walk is sent again at most this many more times.
    static constexpr int kMidWalkResends = 3;
    // A walk stores at most this many rows: far above any switch's table, it keeps an agent that
    // answers for ever inside the column from freezing the window and filling the memory.
    static constexpr std::size_t kMaxWalkRows = 65536;

    WalkOutcome Walk(const DeviceSettings& settings, const WalkRequest& request,
                     WalkTable& table) override;
    // SNMPv1: one GETNEXT per row carrying every column still going; SNMPv2c and SNMPv3: GETBULK
    // of every column still going, as many rows as fit.
    std::vector<WalkOutcome> WalkColumns(const DeviceSettings& settings,
                                         std::span<const ColumnToWalk> columns) override;
    SnmpStatus Set(const DeviceSettings& settings, std::string_view oid,
                   const SetValue& value) override;
};

}  // namespace tarnwick
