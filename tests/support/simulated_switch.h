// Starts the simulated switch on a loopback address and free UDP port, and stops it again.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tarnwick::test {

// Objects it serves beside the columns the product reads (vlan/vlan_tables.h names those).
inline constexpr std::string_view kSysDescr = "1.3.6.1.2.1.1.1.0";
inline constexpr std::string_view kIfDescrColumn = "1.3.6.1.2.1.2.2.1.2";

class SimulatedSwitch {
public:
    enum class Variant {
        Standard,      // the 48-port switch
        Large,         // 4,096 interfaces and port rows, 4,094 VLANs
        Silent,        // a UDP listener that never answers
        StallMidWalk,  // answers the first rows of the ifName column, then stops answering
        RefusingSets,  // the standard data, but SETs of VlanPorts and of the save object fail
        QBridge,       // 24 ports under the standard BRIDGE and Q-BRIDGE MIBs, no vendor VLAN table
    };

    // Starts the agent and waits until it answers (or, for Silent, listens). Nothing on
    // failure, with the reason in *error. With a USM front, Net-SNMP's snmpd serves SNMPv3 users
    // on a second port (sim/run-switch names them and their passphrases).
    static std::unique_ptr<SimulatedSwitch> Start(Variant variant, std::string* error = nullptr,
                                                  bool withUsmFront = false);
    ~SimulatedSwitch();  // stops the agent and waits for it

    SimulatedSwitch(const SimulatedSwitch&) = delete;
    SimulatedSwitch& operator=(const SimulatedSwitch&) = delete;

    // What a user types into the device address field, e.g. "127.0.0.1:16161".
    std::string Address() const;
    std::uint16_t Port() const { return m_port; }
    // The SNMPv3 front's address; empty without one.
    std::string UsmAddress() const;

private:
    SimulatedSwitch(pid_t pid, std::uint16_t port, std::string workDir);
    pid_t m_pid;
    std::uint16_t m_port;
    std::uint16_t m_usmPort = 0;
    std::string m_workDir;
};

}  // namespace tarnwick::test
