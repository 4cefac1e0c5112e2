// SnmpAgent over Net-SNMP's single-session API: one session per walk, read, GET or SET; reads are
// sent at most twice, SETs once.
#pragma once

#include <cstddef>

#include "snmp/snmp_agent.h"
#include "snmp/wait_slices.h"
#include "snmp/walk_bounds.h"

namespace tarnwick {

class NetSnmpAgent final : public SnmpAgent {
public:
    // A read (a walk, or a read of several columns) stores at most `maxReadOctets` of row text.
    explicit NetSnmpAgent(WhileWaiting whileWaiting = {},
                          std::size_t maxReadOctets = kMaxReadOctets);

    // One GETNEXT.
    WalkOutcome FirstRow(const DeviceSettings& settings, const WalkRequest& request,
                         WalkTable& table) override;
    WalkOutcome Walk(const DeviceSettings& settings, const WalkRequest& request,
                     WalkTable& table) override;
    // SNMPv1: one GETNEXT per row carrying every column still going; SNMPv2c and SNMPv3: GETBULK
    // of every column still going, as many rows as fit.
    std::vector<WalkOutcome> WalkColumns(const DeviceSettings& settings,
                                         std::span<const ColumnToWalk> columns) override;
    GetResult Get(const DeviceSettings& settings, const std::vector<std::string>& oids) override;
    GetNextResult GetNext(const DeviceSettings& settings,
                          const std::vector<std::string>& oids) override;
    SetResult Set(const DeviceSettings& settings, std::string_view oid,
                  const SnmpValue& value) override;
    SetResult SetTogether(const DeviceSettings& settings,
                          std::span<const VarBinding> bindings) override;
    // Sleeps in slices, serving the caller between them.
    void WaitOneTimeout(const DeviceSettings& settings) override;

private:
    // GETNEXTs along the column until it ends or `requests` have gone out (resends included);
    // Complete when the bound stopped it.
    WalkOutcome WalkRequests(const DeviceSettings& settings, const WalkRequest& request,
                             WalkTable& table, std::size_t requests);

    WaitSlices m_waiting;
    std::size_t m_maxReadOctets;
};

}  // namespace tarnwick
