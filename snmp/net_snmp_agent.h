// SnmpAgent over Net-SNMP's single-session API: one session per walk, read, GET or SET; reads are
// sent at most twice, SETs once.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

#include "snmp/snmp_agent.h"

namespace tarnwick {

// What the caller does while a request waits for its answer (the window serves its events there,
// the command line does nothing). It runs on the requesting thread and must not send requests.
using WhileWaiting = std::function<void()>;

// Calls the "while waiting" callback at most once per slice: while a request waits for its
// answer, and between the answers of a long walk that never waits a whole slice.
class WaitSlices {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kSlice{10};

    explicit WaitSlices(WhileWaiting whileWaiting);
    // How long a wait may block before the callback is due; nothing without a callback.
    std::optional<Clock::duration> UntilDue() const;
    // Calls the callback when its slice has run out.
    void ServeIfDue();

private:
    WhileWaiting m_whileWaiting;
    Clock::time_point m_due;
};

class NetSnmpAgent final : public SnmpAgent {
public:
    // A failed request in mid-walk is sent again at most this many more times.
    static constexpr int kMidWalkResends = 3;
    // A walk stores at most this many rows: far above any switch's table, it keeps an agent that
    // answers for ever inside the column from freezing the window and filling the memory.
    static constexpr std::size_t kMaxWalkRows = 65536;

    explicit NetSnmpAgent(WhileWaiting whileWaiting = {});

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
};

}  // namespace tarnwick
