// What the VLAN logic needs from SNMP: walk one column into a table, GET instances, send one SET.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "snmp/device_settings.h"

namespace tarnwick {

// One string per row of one walked column; a walk only appends.
using WalkTable = std::vector<std::string>;

// How a walked row is stored: the printable value alone, or "<printable OID>-<printable value>".
enum class RowForm { Value, WalkRow };

// How an OCTET STRING value is printed: as text when it is printable ASCII, UTF-8 or GB18030
// text, else as a hex dump (Auto); or always as a hex dump, for bitmaps whatever their bytes.
enum class OctetForm { Auto, HexDump };

// 0 = success; > 0 = the agent's error-status; < 0 = a library failure (Net-SNMP's SNMPERR_*).
struct SnmpStatus {
    int code = 0;
    std::string text;  // Net-SNMP's text for the code; empty on success
    bool ok() const { return code == 0; }
};

struct WalkRequest {
    std::string_view columnOid;  // dotted decimal, no leading dot
    RowForm rowForm = RowForm::Value;
    OctetForm octetForm = OctetForm::Auto;
    // Where each stored row's instance goes (its OID after the column and a dot), when a value
    // alone is stored but the instance is still needed: one entry per row.
    WalkTable* instances = nullptr;
};

struct WalkOutcome {
    enum class End {
        Complete,            // left the column, or the agent's MIB view ended (noSuchName)
        FirstRequestFailed,  // nothing stored
        GaveUpMidWalk,       // a later request kept failing; the rows so far stay
        BadAnswer,           // a repeated or earlier OID, or no binding; the rows so far stay
        TooManyRows,         // the column went on past the row bound; the rows so far stay
        TooLarge,            // the read's rows went past its size bound; the rows so far stay
    };
    End end = End::Complete;
    SnmpStatus status;  // the failing request's status when end != Complete
};

// An OCTET STRING as its raw octets.
struct OctetString {
    std::string octets;
};
// An Unsigned32 (Gauge32): a value the MIB defines unsigned, as Q-BRIDGE's VlanIndex.
struct Unsigned32 {
    std::uint32_t value = 0;
};
// A value sent or read: an OCTET STRING, an INTEGER or an Unsigned32.
using SnmpValue = std::variant<OctetString, std::int32_t, Unsigned32>;

// The octets of an OCTET STRING value; nothing for any other type.
inline const std::string* OctetsIn(const SnmpValue& value) {
    const auto* octets = std::get_if<OctetString>(&value);
    return octets ? &octets->octets : nullptr;
}

// One variable binding of a SET: the instance and the value it is to hold.
struct VarBinding {
    std::string oid;
    SnmpValue value;
};

// A row as read, typed: its instance (the OID after the column and a dot) and its value.
struct ValueRow {
    std::string instance;
    SnmpValue value;
};
using ValueTable = std::vector<ValueRow>;

// One column of a read of several: what to walk and the table its rows go to, printable (`table`)
// or typed (`values`, where only rows strictly below the column count).
struct ColumnToWalk {
    WalkRequest request;
    WalkTable* table = nullptr;
    ValueTable* values = nullptr;
};

// What a SET's answer says about the agent's value.
enum class SetOutcome {
    Confirmed,  // a response without error: the agent holds the value sent
    // A response with an error-status, or an SNMPv3 report instead of a response (a wrong
    // passphrase, an unknown user: the agent answered, and processed nothing): nothing changed.
    Refused,
    NotSent,     // failed before any datagram left (bad address, timeout, OID): nothing changed
    NoResponse,  // no answer, or the send failed: the agent may or may not hold the value
};

struct SetResult {
    SetOutcome outcome = SetOutcome::Confirmed;
    SnmpStatus status;  // the failure's code and text
    // On a refusal: the binding (from 1) the agent named; 0 when it named none.
    std::size_t failedBinding = 0;
    bool ok() const { return outcome == SetOutcome::Confirmed; }
};

// SNMPv1's error-status for a GETNEXT with nothing after it: the agent's MIB view has ended;
// for a GET, an instance the agent has not.
inline constexpr int kNoSuchNameStatus = 2;
// The error-status of a request whose answer would not fit in one message.
inline constexpr int kTooBigStatus = 1;

// The answer to one GET of several instances.
struct GetResult {
    SnmpStatus status;
    // On an error-status: the binding (from 1) the agent named; 0 when it named none.
    std::size_t failedBinding = 0;
    // On success, in the order asked: each instance's value. Also when the agent has no instance
    // for some of the bindings and says so for each (SNMPv2c and SNMPv3: noSuchObject,
    // noSuchInstance): an absent instance's value is then an empty OCTET STRING.
    std::vector<SnmpValue> values;
    // The bindings (from 1), ascending, whose instance the agent has not. The status is then
    // noSuchName and failedBinding the first of them, whatever the version: SNMPv1 names one
    // binding and fails the whole GET (no values); SNMPv2c and SNMPv3 name each, with the values.
    std::vector<std::size_t> absent{};
};

// One binding of a GETNEXT's answer: the OID that follows the one asked, and its value, when
// of a type a GET takes.
struct NextBinding {
    std::string oid;
    std::optional<SnmpValue> value;
};

// The answer to one GETNEXT of several OIDs.
struct GetNextResult {
    SnmpStatus status;
    // On an error-status: the binding (from 1) the agent named; 0 when it named none. SNMPv1's
    // noSuchName names a binding with nothing after it in the agent's view.
    std::size_t failedBinding = 0;
    // On success, in the order asked. Past the end of the view (SNMPv2c, SNMPv3: endOfMibView)
    // a binding keeps the OID asked and has no value.
    std::vector<NextBinding> bindings;
};

// How many bindings one request carries at most: a few kilobytes, well inside a UDP datagram;
// an agent that finds the answer too big says so and is asked for fewer.
inline constexpr std::size_t kBindingsPerRequest = 60;
// The library status of a request this agent cannot make (several bindings in one SET, typed
// rows).
inline constexpr int kNotSupported = -1;

// How a walk for a column's first row ended, as FirstRow tells it: noSuchName at once means the
// agent's MIB view ends before the column, which has no row.
inline WalkOutcome FirstRowOutcome(WalkOutcome outcome) {
    const bool endOfView = outcome.end == WalkOutcome::End::FirstRequestFailed &&
                           outcome.status.code == kNoSuchNameStatus;
    return endOfView ? WalkOutcome{} : outcome;
}

class SnmpAgent {
public:
    virtual ~SnmpAgent() = default;
    // The column's first row alone, appended to the table when there is one: meant as one
    // GETNEXT. A column without instances ends Complete with no row, also where the agent's MIB
    // view ends before it (noSuchName at once). Unless an agent does better, a whole Walk.
    virtual WalkOutcome FirstRow(const DeviceSettings& settings, const WalkRequest& request,
                                 WalkTable& table) {
        WalkTable rows;
        WalkOutcome outcome = Walk(settings, request, rows);
        if (!rows.empty()) {
            table.push_back(std::move(rows.front()));
            return {};
        }
        return FirstRowOutcome(std::move(outcome));
    }
    // GETNEXT walk of one column with the read community; appends one row per instance.
    virtual WalkOutcome Walk(const DeviceSettings& settings, const WalkRequest& request,
                             WalkTable& table) = 0;
    // Walks the columns together: each table gets the rows, and each column the outcome, that
    // Walk of that column alone would give, except that an agent bounding a read's size bounds
    // the columns' rows together. Outcomes in the columns' order. Unless an agent does better,
    // one Walk after the other.
    virtual std::vector<WalkOutcome> WalkColumns(const DeviceSettings& settings,
                                                 std::span<const ColumnToWalk> columns) {
        std::vector<WalkOutcome> outcomes;
        for (const ColumnToWalk& column : columns) {
            outcomes.push_back(column.table
                                   ? Walk(settings, column.request, *column.table)
                                   : WalkOutcome{WalkOutcome::End::FirstRequestFailed,
                                                 {kNotSupported, "typed rows not supported"}});
        }
        return outcomes;
    }
    // One GET of the instances' values with the read community: OCTET STRING, INTEGER or
    // Unsigned32 (Gauge32); any other type of value fails the GET.
    virtual GetResult Get(const DeviceSettings& settings, const std::vector<std::string>& oids) = 0;
    // One GETNEXT of the OIDs with the read community: what follows each. Unless an agent does
    // better, not supported.
    virtual GetNextResult GetNext(const DeviceSettings& /*settings*/,
                                  const std::vector<std::string>& /*oids*/) {
        return {{kNotSupported, "GETNEXT of several OIDs not supported"}, 0, {}};
    }
    // One SET of one variable binding with the write community, sent once: without an answer
    // the caller reads the instance back rather than trusting a resend of old bytes.
    virtual SetResult Set(const DeviceSettings& settings, std::string_view oid,
                          const SnmpValue& value) = 0;
    // One SET request of all the bindings, which an agent applies all or none (RFC 3416; not
    // every agent keeps to it). An agent that cannot send several bindings in one request sends
    // nothing and says so; one binding goes out as Set.
    virtual SetResult SetTogether(const DeviceSettings& settings,
                                  std::span<const VarBinding> bindings) {
        if (bindings.size() == 1) {
            return Set(settings, bindings.front().oid, bindings.front().value);
        }
        return {SetOutcome::NotSent, {kNotSupported, "several bindings in one SET not supported"}};
    }
    // Waits as long as one request may wait for its answer: time for a request held in the
    // network to arrive before its effect is judged. Unless an agent serves its caller
    // meanwhile, a plain sleep.
    virtual void WaitOneTimeout(const DeviceSettings& settings) {
        std::this_thread::sleep_for(std::chrono::milliseconds(settings.timeout));
    }
};

}  // namespace tarnwick
