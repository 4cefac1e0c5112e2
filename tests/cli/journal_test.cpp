// The CLI's journal in process: records, ids, the listing, modes, concurrent appends, lines cut
// short, failures, confirmations. Every test names its journal with TARNWICK_JOURNAL, in a
// directory of its own.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <fstream>
#include <set>
#include <thread>

#include "cli/journal.h"
#include "cli/journal_listing.h"

namespace tarnwick::cli {
namespace {

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_directory.isValid());
        setenv("TARNWICK_JOURNAL", Under("state/tarnwick/journal.jsonl").c_str(), 1);
    }
    std::string Under(const char* name) const {
        return m_directory.filePath(QString::fromUtf8(name)).toStdString();
    }
    Journal Opened() const { return Journal(std::get<std::string>(JournalPath())); }
    static JournalRecord Line(std::int64_t id, const char* outcome, const char* typed = "sw1",
                              const char* address = "udp:10.0.0.5:161") {
        return {.id = id,
                .address = address,
                .typed = typed,
                .command = "move",
                .ports = {3, 4},
                .from = 1,
                .to = 2,
                .outcome = outcome};
    }
    std::vector<JournalRecord> Read(const Journal& journal) const {
        return std::get<JournalLines>(journal.Lines()).records;
    }

    QTemporaryDir m_directory;
};

TEST_F(JournalTest, RecordsAreOneCompactLineAndReadBack) {
    JournalRecord record{.id = 7,
                         .time = "2025-03-01T09:30:00Z",
                         .user = "ops",
                         .address = "udp:10.0.0.5:161",
                         .typed = "sw1",
                         .mib = "q-bridge",
                         .command = "undo",
                         .ports = {5},
                         .from = 20,
                         .to = 10,
                         .objects = {{"1.3.6.1.2.1.17.7.1.4.5.1.1.5", 20, 10},
                                     {"1.3.6.1.2.1.17.7.1.4.3.1.2.10", "F70003", std::nullopt}},
                         .outcome = "unknown",
                         .exitStatus = 1,
                         .of = 6,
                         .revertBy = "2025-03-01T09:35:00Z"};
    EXPECT_EQ(QJsonDocument(RecordJson(record)).toJson(QJsonDocument::Compact).toStdString(),
              R"({"command":"undo","exitStatus":1,"from":20,"id":7,"mib":"q-bridge",)"
              R"("objects":[{"after":10,"before":20,"oid":"1.3.6.1.2.1.17.7.1.4.5.1.1.5"},)"
              R"({"after":null,"before":"F70003","oid":"1.3.6.1.2.1.17.7.1.4.3.1.2.10"}],)"
              R"("of":6,"outcome":"unknown","ports":[5],"revertBy":"2025-03-01T09:35:00Z",)"
              R"("switch":{"address":"udp:10.0.0.5:161","typed":"sw1"},)"
              R"("time":"2025-03-01T09:30:00Z","to":10,"user":"ops"})");
    EXPECT_EQ(RecordFromJson(RecordJson(record)), record);
    EXPECT_EQ(JournalValueOf(OctetString{std::string("\xF7\x00\x03", 3)}), JournalValue("F70003"));
    EXPECT_EQ(JournalValueOf(Unsigned32{20}), JournalValue(std::int64_t{20}));
    record.ports = {0};
    EXPECT_EQ(RecordFromJson(RecordJson(record)), std::nullopt) << "port 0";
    EXPECT_EQ(ParseUtcTime(" 2025-03-01T09:30:00Z"), std::nullopt);
}

TEST_F(JournalTest, AppendNumbersChangesAndListsTheLastLineOfEach) {
    const Journal journal = Opened();
    EXPECT_EQ(std::get<JournalRecord>(journal.Append(Line(0, "begun"))).id, 1);
    EXPECT_EQ(std::get<JournalRecord>(journal.Append(Line(1, "moved"))).id, 1);
    EXPECT_EQ(
        std::get<JournalRecord>(journal.Append(Line(0, "begun", "10.0.0.9", "udp:10.0.0.9:161")))
            .id,
        2);
    EXPECT_EQ(std::get<JournalError>(journal.Append(Line(9, "moved"))).message,
              "no change 9 in the journal " + journal.Path());
    const auto lines = Read(journal);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].user, LocalUser());
    EXPECT_TRUE(ParseUtcTime(lines[0].time)) << lines[0].time;

    struct stat file {
    }, directory{};
    ASSERT_EQ(stat(journal.Path().c_str(), &file), 0);
    ASSERT_EQ(stat(Under("state/tarnwick").c_str(), &directory), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(directory.st_mode & 0777, 0700u);

    auto changes = Changes(lines);
    for (JournalRecord& change : changes) {
        change.time = "2025-03-01T09:30:00Z";
    }
    const struct {
        const char* name;
        const char* onSwitch;  // as typed after --switch
        std::size_t last;      // 0: all
        std::string text;      // empty: JSON
    } cases[] = {
        {"All", nullptr, 0,
         "ID  TIME                  SWITCH    COMMAND  PORTS  FROM  TO  OUTCOME\n"
         "1   2025-03-01T09:30:00Z  sw1       move     3,4    1     2   moved\n"
         "2   2025-03-01T09:30:00Z  10.0.0.9  move     3,4    1     2   interrupted\n"},
        {"ResolvedSwitch", "10.0.0.5", 0,
         "ID  TIME                  SWITCH  COMMAND  PORTS  FROM  TO  OUTCOME\n"
         "1   2025-03-01T09:30:00Z  sw1     move     3,4    1     2   moved\n"},
        {"TypedSwitch", "10.0.0.9:161", 0,
         "ID  TIME                  SWITCH    COMMAND  PORTS  FROM  TO  OUTCOME\n"
         "2   2025-03-01T09:30:00Z  10.0.0.9  move     3,4    1     2   interrupted\n"},
        {"LastOneAsJson", nullptr, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JournalListingOptions options{.json = c.text.empty()};
        if (c.onSwitch) {
            options.switchAddress = ParseDeviceAddress(c.onSwitch);
            ASSERT_TRUE(options.switchAddress);
        }
        if (c.last) {
            options.last = c.last;
        }
        const std::string listed = JournalListing(changes, options);
        if (!options.json) {
            EXPECT_EQ(listed, c.text);
            continue;
        }
        const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(listed))
                                    .object()
                                    .value(QStringLiteral("changes"))
                                    .toArray();
        ASSERT_EQ(list.size(), 1);
        EXPECT_EQ(list[0][QStringLiteral("id")].toInt(), 2);
        EXPECT_EQ(list[0][QStringLiteral("outcome")].toString(), QStringLiteral("interrupted"));
    }
}

// Two writers, each with its own descriptor per append, as two runs would be.
TEST_F(JournalTest, AppendsAtOnceLoseNothing) {
    const Journal journal = Opened();
    auto writer = [&journal] {
        for (int i = 0; i < 200; ++i) {
            EXPECT_TRUE(std::holds_alternative<JournalRecord>(journal.Append(Line(0, "saved"))));
        }
    };
    std::thread first(writer), second(writer);
    first.join();
    second.join();
    const auto lines = std::get<JournalLines>(journal.Lines());
    std::set<std::int64_t> ids;
    for (const JournalRecord& line : lines.records) {
        ids.insert(line.id);
    }
    EXPECT_EQ(lines.records.size(), 400u);
    EXPECT_EQ(ids.size(), 400u);
    EXPECT_EQ(lines.unreadable, 0u);

    // A line some other writer left cut short stays apart from the next record.
    std::ofstream(journal.Path(), std::ios::app) << R"({"id":4)";
    EXPECT_EQ(std::get<JournalRecord>(journal.Append(Line(0, "saved"))).id, 401);
    const auto after = std::get<JournalLines>(journal.Lines());
    EXPECT_EQ(after.records.size(), 401u);
    EXPECT_EQ(after.unreadable, 1u);
}

TEST_F(JournalTest, AJournalThatCannotBeWrittenSaysWhyAndGetsNothing) {
    std::ofstream(Under("file")) << "x";
    ASSERT_EQ(symlink(Under("file").c_str(), Under("link").c_str()), 0);
    const struct {
        const char* name;
        std::string path;
        std::string reason;
    } cases[] = {
        {"Directory", Under(""), "Is a directory"},
        {"UnderAFile", Under("file/journal.jsonl"), "Not a directory"},
        {"SymbolicLink", Under("link"), "a symbolic link"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto appended = Journal(c.path).Append(Line(0, "begun"));
        ASSERT_TRUE(std::holds_alternative<JournalError>(appended));
        EXPECT_NE(std::get<JournalError>(appended).message.find(c.reason), std::string::npos)
            << std::get<JournalError>(appended).message;
    }
    std::ifstream file(Under("file"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "x");
}

TEST_F(JournalTest, ConfirmAppendsOnlyWhileAChangeWaits) {
    const auto now = JournalClock::now();
    const struct {
        const char* name;
        std::optional<std::string> revertBy;
        WaitState found;
    } cases[] = {
        {"NothingWaits", std::nullopt, WaitState::NotWaiting},
        {"Waits", UtcTimeText(now + std::chrono::hours(1)), WaitState::Waiting},
        {"DeadlinePassed", UtcTimeText(now - std::chrono::seconds(1)), WaitState::Expired},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Journal journal(Under(c.name));
        JournalRecord moved = Line(0, "moved");
        moved.revertBy = c.revertBy;
        journal.Append(moved);
        const auto outcome = std::get<ConfirmOutcome>(journal.Confirm(1));
        EXPECT_EQ(outcome.found, c.found);
        EXPECT_EQ(std::get<ConfirmOutcome>(journal.Confirm(2)).found, WaitState::NoSuchChange);
        const auto lines = Read(journal);
        const bool confirmed = c.found == WaitState::Waiting;
        ASSERT_EQ(lines.size(), confirmed ? 2u : 1u);
        EXPECT_EQ(lines.back().outcome, confirmed ? "confirmed" : "moved");
        EXPECT_EQ(lines.back().ports, std::vector({3, 4}));
        EXPECT_EQ(std::get<WaitState>(journal.StateOfWait(1)),
                  confirmed ? WaitState::Confirmed : c.found);
    }
}

}  // namespace
}  // namespace tarnwick::cli
