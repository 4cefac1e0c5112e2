// How the CLI's writes to a switch become journal lines: a change's record from what the run
// knows of its switch, a move's objects before and after from its plan and report, its outcome,
// and the lines one change appends as it goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_context.h"
#include "cli/journal.h"
#include "vlan/move_engine.h"

namespace tarnwick::cli {

// The outcomes of the CLI's changes (the journal's own are in cli/journal.h).
inline constexpr std::string_view kMovedOutcome = "moved";        // every port in the new VLAN
inline constexpr std::string_view kRestoredOutcome = "restored";  // sent, every port put back
inline constexpr std::string_view kRefusedOutcome = "refused";    // the switch changed nothing
inline constexpr std::string_view kUnknownOutcome = "unknown";    // where a port is, unknown
inline constexpr std::string_view kPartialOutcome = "partial";    // some ports moved, some not
inline constexpr std::string_view kSavedOutcome = "saved";

// The commands that change a switch, as the journal names them.
inline constexpr std::string_view kMoveCommand = "move";
inline constexpr std::string_view kSaveCommand = "save";
inline constexpr std::string_view kUndoCommand = "undo";
inline constexpr std::string_view kRevertCommand = "revert";

// "change 7": a change as messages name it.
std::string ChangeName(std::int64_t id);

// A change on the context's switch, its `begun` line: the switch as resolved and as typed, the
// MIB, the command.
JournalRecord ChangeRecord(const Context& context, std::string_view command);
// A move's `begun` line: its ports, FROM, TO, and each object with its value before.
JournalRecord MoveRecord(const Context& context, std::string_view command, const MovePlan& plan);
// The move's line once the engine has ended: each object as the engine last knew the switch to
// hold it, and the outcome.
JournalRecord MoveEnded(JournalRecord begun, const MoveReport& report);
std::string_view MoveOutcome(const MoveReport& report);

// What of the change the switch holds no more, for its own ports, one text each; none when the
// switch holds all it left. `back` takes the change back: it reads the objects the change wrote.
std::vector<std::string> ChangedSince(const VlanMib& mib, const MovePlan& back,
                                      const JournalRecord& change);

// The lines one change appends: `begun` before its first SET, so that a journal that cannot be
// written stops the change before anything is sent, then the others of its id. Each failure is
// shown. A run with --no-journal writes none and goes on.
class ChangeLines {
public:
    ChangeLines(Messages& messages, bool keep);
    // The first line of a new change (id 0); false, with the reason shown, when it could not be
    // written: nothing may be sent.
    bool Begin(JournalRecord record);
    // A later line of the change; false, with the reason shown, when it could not be written.
    bool Add(JournalRecord record);
    std::int64_t Id() const { return m_id; }
    // The journal written to; none with --no-journal or when its place is not known.
    const Journal* Written() const { return m_journal ? &*m_journal : nullptr; }

private:
    Messages& m_messages;
    bool m_keep;
    std::optional<Journal> m_journal;
    std::optional<JournalError> m_unplaced;
    std::int64_t m_id = 0;
};

}  // namespace tarnwick::cli
