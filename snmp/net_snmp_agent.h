// SnmpAgent over Net-SNMP's single-session API: one session per walk, GET or SET, SNMPv1, 1 retry.
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
    GetResult Get(const DeviceSettings& settings, const std::vector<std::string>& oids) override;
    SetResult Set(const DeviceSettings& settings, std::string_view oid,
                  const SetValue& value) override;
};

}  // namespace tarnwick
