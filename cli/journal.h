// The CLI's journal of changes: every write it makes to a switch (move, save, undo, revert) leaves
// a record, one JSON object per line (JSON Lines), appended under a file lock so that runs at the
// same time lose nothing. It never holds a community or a passphrase. `undo`, `confirm` and
// `--revert-after` work from it; reads of the switch never touch it.
#pragma once

#include <QJsonObject>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "snmp/snmp_agent.h"

namespace tarnwick::cli {

// Why the journal could not be found, opened, locked, read or written, in English.
struct JournalError {
    std::string message{};
};
template <typename T>
using JournalResult = std::variant<T, JournalError>;

// The outcomes the journal itself reads; the others (moved, restored, refused, unknown, saved, …)
// are the commands' own.
inline constexpr std::string_view kBegunOutcome = "begun";              // before a move's first SET
inline constexpr std::string_view kInterruptedOutcome = "interrupted";  // begun and no more
inline constexpr std::string_view kConfirmedOutcome = "confirmed";
inline constexpr std::string_view kRevertedOutcome = "reverted";

// An object's value as the journal keeps it: an OCTET STRING (a port list) as its bitmap text, two
// upper-case hex digits per octet, octet 0 first ("F30000", a JSON string); an INTEGER or
// Unsigned32 (a PVID) as its number (a JSON number).
using JournalValue = std::variant<std::string, std::int64_t>;
JournalValue JournalValueOf(const SnmpValue& value);
// The value a journal's value stands for: a bitmap text's octets, a number as Unsigned32 (a PVID);
// nothing for a number no Unsigned32 holds.
std::optional<SnmpValue> SnmpValueOf(const JournalValue& value);

struct JournalObject {
    std::string oid{};                     // dotted decimal
    std::optional<JournalValue> before{};  // as read before the first SET; JSON null when not read
    std::optional<JournalValue> after{};   // as the switch confirmed it; JSON null when not known
    bool operator==(const JournalObject&) const = default;
};

// One line. Keys: id, time, user, switch {address, typed}, mib, command, ports, from, to,
// objects [{oid, before, after}], outcome, exitStatus, of, revertBy; an optional field without a
// value has no key.
struct JournalRecord {
    std::int64_t id = 0;  // 0: a new change, which Append numbers
    // UTC, ISO 8601 to the second ("2025-03-01T09:30:00Z"); Append's clock when empty.
    std::string time{};
    std::string user{};     // the local user; Append's when empty
    std::string address{};  // the switch as resolved: DeviceAddress::peerName ("udp:10.0.0.5:161")
    std::string typed{};    // the switch as typed
    std::string mib{};      // "vendor" or "q-bridge"
    std::string command{};  // "move", "save", "undo", "revert"
    std::vector<int> ports{};
    std::optional<std::uint32_t> from{};  // VLAN IDs
    std::optional<std::uint32_t> to{};
    std::vector<JournalObject> objects{};
    std::string outcome{};
    std::optional<int> exitStatus{};   // none on a begun line
    std::optional<std::int64_t> of{};  // the change an undo takes back
    // A move waiting for its confirmation until then (UTC, as `time`): unless a `confirmed` line
    // of its id is appended first, the waiting run takes it back and appends `reverted`. The run
    // waits for the deadline as written, which is whole seconds.
    std::optional<std::string> revertBy{};
    bool operator==(const JournalRecord&) const = default;
};

QJsonObject RecordJson(const JournalRecord& record);
// Nothing when the object has no id that is a whole number from 1, or a field of another type or
// out of its range (a port 1 to kLastPort, a VLAN ID 1 to 4094, an exit status 0 to 255).
std::optional<JournalRecord> RecordFromJson(const QJsonObject& object);

using JournalClock = std::chrono::system_clock;
// "2025-03-01T09:30:00Z": the time in UTC to the second.
std::string UtcTimeText(JournalClock::time_point time);
// That form read back; nothing for any other text.
std::optional<JournalClock::time_point> ParseUtcTime(std::string_view text);

// The effective user's login name, from the password database (its number when it has none).
std::string LocalUser();

// Where the journal lies: $TARNWICK_JOURNAL when set and not empty; else
// $XDG_STATE_HOME/tarnwick/journal.jsonl when XDG_STATE_HOME is an absolute path; else
// ~/.local/state/tarnwick/journal.jsonl, ~ being $HOME or else the password database's home.
JournalResult<std::string> JournalPath();

// The journal's lines in the order written. A line that is not a record (cut short, edited by
// hand) is counted and left out.
struct JournalLines {
    std::vector<JournalRecord> records{};
    std::size_t unreadable = 0;
};

// Where a change stands with its confirmation, from the last line of its id.
enum class WaitState {
    NoSuchChange,
    NotWaiting,  // no revertBy on its last line
    Waiting,     // a revertBy later than now
    Expired,     // a revertBy that has come: confirmation is too late, the change is taken back
    Confirmed,
    Reverted,
};
WaitState StateOfWait(std::span<const JournalRecord> lines, std::int64_t id,
                      JournalClock::time_point now);

// The changes: the last line of each id, ascending by id; a change whose last line is `begun`
// (its run ended before it could say more) has the outcome `interrupted`.
std::vector<JournalRecord> Changes(std::span<const JournalRecord> lines);

struct ConfirmOutcome {
    WaitState found = WaitState::NoSuchChange;
    std::optional<JournalRecord> confirmed{};  // the line appended: only when found is Waiting
};

// The journal at one path. The directories and the file are made on the first Append (the
// directories mode 700, the file 600); the file is never followed through a symbolic link.
class Journal {
public:
    explicit Journal(std::string path) : m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

    // Appends the record as one line, in one write under an exclusive lock. Id 0 opens a new
    // change, numbered one more than the highest id in the journal; another id adds a line to
    // that change, which must be there. The record as written.
    JournalResult<JournalRecord> Append(JournalRecord record) const;
    // Every line, under a shared lock; a journal not made yet has none.
    JournalResult<JournalLines> Lines() const;
    // Appends the `confirmed` line of a change that waits for it (a copy of its last line, with
    // the time and user of now and no revertBy), else nothing. The clock is read once the
    // exclusive lock is held, so the check and the append happen at one moment.
    JournalResult<ConfirmOutcome> Confirm(std::int64_t id) const;
    // Where the change stands, for a run that waits: the clock is read before the lines, so when
    // this says Expired no confirmation can follow (Confirm refuses from the deadline on), and one
    // made before is seen. The runs share the system clock.
    JournalResult<WaitState> StateOfWait(std::int64_t id) const;

private:
    std::string m_path;
};

}  // namespace tarnwick::cli
