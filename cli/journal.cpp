// The journal's records as JSON, its place, and its lines appended and read under a file lock.
#include "cli/journal.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "cli/command_context.h"
#include "vlan/identifiers.h"
#include "vlan/port_bitmap.h"

namespace tarnwick::cli {
namespace {

const QString kIdKey = QStringLiteral("id");
const QString kTimeKey = QStringLiteral("time");
const QString kUserKey = QStringLiteral("user");
const QString kSwitchKey = QStringLiteral("switch");
const QString kAddressKey = QStringLiteral("address");
const QString kTypedKey = QStringLiteral("typed");
const QString kMibKey = QStringLiteral("mib");
const QString kCommandKey = QStringLiteral("command");
const QString kPortsKey = QStringLiteral("ports");
const QString kFromKey = QStringLiteral("from");
const QString kToKey = QStringLiteral("to");
const QString kObjectsKey = QStringLiteral("objects");
const QString kOidKey = QStringLiteral("oid");
const QString kBeforeKey = QStringLiteral("before");
const QString kAfterKey = QStringLiteral("after");
const QString kOutcomeKey = QStringLiteral("outcome");
const QString kExitStatusKey = QStringLiteral("exitStatus");
const QString kOfKey = QStringLiteral("of");
const QString kRevertByKey = QStringLiteral("revertBy");

// JSON numbers are doubles: whole numbers are exact up to 2^53.
constexpr double kLargestExactWhole = 9007199254740992.0;

std::optional<std::int64_t> WholeNumber(const QJsonValue& value) {
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || std::trunc(number) != number ||
        std::fabs(number) > kLargestExactWhole) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(number);
}

QJsonValue ValueJson(const std::optional<JournalValue>& value) {
    if (!value) {
        return QJsonValue::Null;
    }
    if (const auto* text = std::get_if<std::string>(&*value)) {
        return Json(*text);
    }
    return static_cast<qint64>(std::get<std::int64_t>(*value));
}

// Reads a line's fields; a field there with a wrong type or out of range makes it no record.
class FieldReader {
public:
    explicit FieldReader(const QJsonObject& object) : m_object(object) {}
    bool ok() const { return m_ok; }

    std::string Text(const QString& key) {
        const QJsonValue value = m_object.value(key);
        m_ok = m_ok && (value.isUndefined() || value.isString());
        return value.toString().toStdString();
    }
    std::optional<std::string> OptionalText(const QString& key) {
        return m_object.contains(key) ? std::optional(Text(key)) : std::nullopt;
    }
    template <typename T>
    std::optional<T> Whole(const QJsonValue& value, std::int64_t low, std::int64_t high) {
        if (value.isUndefined()) {
            return std::nullopt;
        }
        const auto number = WholeNumber(value);
        m_ok = m_ok && number && *number >= low && *number <= high;
        return m_ok ? std::optional<T>(static_cast<T>(*number)) : std::nullopt;
    }
    template <typename T>
    std::optional<T> Whole(const QString& key, std::int64_t low, std::int64_t high) {
        return Whole<T>(m_object.value(key), low, high);
    }
    std::optional<JournalValue> Value(const QJsonValue& value) {
        if (value.isString()) {
            return value.toString().toStdString();
        }
        if (value.isNull()) {
            return std::nullopt;
        }
        return Whole<std::int64_t>(value, INT64_MIN, INT64_MAX);
    }
    QJsonArray Array(const QString& key) {
        const QJsonValue value = m_object.value(key);
        m_ok = m_ok && (value.isUndefined() || value.isArray());
        return value.toArray();
    }
    QJsonObject Object(const QString& key) {
        const QJsonValue value = m_object.value(key);
        m_ok = m_ok && (value.isUndefined() || value.isObject());
        return value.toObject();
    }

private:
    QJsonObject m_object;
    bool m_ok = true;
};

std::vector<JournalObject> ReadObjects(const QJsonArray& array, bool& ok) {
    std::vector<JournalObject> objects;
    for (const QJsonValue& item : array) {
        FieldReader fields(item.toObject());
        JournalObject& object = objects.emplace_back();
        object.oid = fields.Text(kOidKey);
        object.before = fields.Value(item[kBeforeKey]);
        object.after = fields.Value(item[kAfterKey]);
        ok = ok && item.isObject() && fields.ok();
    }
    return objects;
}

std::string ErrnoText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

JournalError Failure(std::string_view what, const std::string& path, int error) {
    if (error == ELOOP) {
        return {"cannot " + std::string(what) + " the journal " + path +
                ": it is a symbolic link, which the journal never follows"};
    }
    return {"cannot " + std::string(what) + " the journal " + path + ": " + ErrnoText(error)};
}

// Closes the file, which also releases its lock.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    bool open() const { return m_fd >= 0; }

private:
    int m_fd;
};

// Each missing directory on the way to the file, mode 700: the journal is the user's alone.
std::optional<JournalError> MakeDirectories(const std::string& path) {
    std::filesystem::path directory;
    for (const auto& part : std::filesystem::path(path).parent_path()) {
        directory /= part;
        if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
            const int error = errno;
            return JournalError{"cannot create the directory " + directory.string() +
                                " for the journal " + path + ": " + ErrnoText(error)};
        }
    }
    return std::nullopt;
}

enum class Access {
    Read,            // shared lock; a missing file is no file
    Append,          // exclusive lock; the directories and the file made when missing
    AppendExisting,  // exclusive lock; a missing file is no file
};

JournalResult<FileDescriptor> OpenLocked(const std::string& path, Access access) {
    if (access == Access::Append) {
        if (auto error = MakeDirectories(path)) {
            return *error;
        }
    }
    int flags = O_CLOEXEC | O_NOFOLLOW | (access == Access::Read ? O_RDONLY : O_RDWR | O_APPEND);
    flags |= access == Access::Append ? O_CREAT : 0;
    FileDescriptor file(::open(path.c_str(), flags, 0600));
    if (!file.open()) {
        if (errno == ENOENT && access != Access::Append) {
            return FileDescriptor();
        }
        return Failure("open", path, errno);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return Failure("open", path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return JournalError{"cannot open the journal " + path + ": not a regular file"};
    }
    const int lock = access == Access::Read ? LOCK_SH : LOCK_EX;
    int result = 0;
    while ((result = ::flock(file.get(), lock)) != 0 && errno == EINTR) {
    }
    if (result != 0) {
        return Failure("lock", path, errno);
    }
    return file;
}

JournalResult<std::string> ReadAll(const FileDescriptor& file, const std::string& path) {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t count =
            ::pread(file.get(), buffer, sizeof buffer, static_cast<off_t>(text.size()));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return Failure("read", path, errno);
        }
        if (count == 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

JournalLines ParseLines(std::string_view text) {
    JournalLines lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty()) {
            continue;
        }
        QJsonParseError error{};
        const auto document = QJsonDocument::fromJson(
            QByteArray(line.data(), static_cast<qsizetype>(line.size())), &error);
        auto record = RecordFromJson(document.object());
        // A line cut short has no line feed: it is never read as a record.
        if (error.error != QJsonParseError::NoError || !record || end == std::string_view::npos) {
            ++lines.unreadable;
            continue;
        }
        lines.records.push_back(std::move(*record));
    }
    return lines;
}

JournalResult<JournalLines> ReadLines(const FileDescriptor& file, const std::string& path) {
    auto text = ReadAll(file, path);
    if (auto* error = std::get_if<JournalError>(&text)) {
        return *error;
    }
    return ParseLines(std::get<std::string>(text));
}

// One write: a reader under the shared lock sees the whole line or none. A write cut short is
// taken back, so that no line is left half written; a journal that ends in a line cut short
// some other way gets a line feed first, so that the record stays a line of its own.
std::optional<JournalError> WriteLine(const FileDescriptor& file, const std::string& path,
                                      const JournalRecord& record) {
    struct stat status {};
    char lastByte = '\n';
    if (::fstat(file.get(), &status) != 0 ||
        (status.st_size > 0 && ::pread(file.get(), &lastByte, 1, status.st_size - 1) != 1)) {
        return Failure("write", path, errno);
    }
    QByteArray line = QJsonDocument(RecordJson(record)).toJson(QJsonDocument::Compact) + '\n';
    if (lastByte != '\n') {
        line.prepend('\n');
    }
    const ssize_t written = ::write(file.get(), line.constData(), static_cast<size_t>(line.size()));
    if (written == line.size()) {
        return std::nullopt;
    }
    const int error = written < 0 ? errno : ENOSPC;
    if (written > 0 && ::ftruncate(file.get(), status.st_size) != 0) {
        return JournalError{"the journal " + path +
                            " ends in a line written in part: " + ErrnoText(errno)};
    }
    return Failure("write", path, error);
}

const JournalRecord* LastLineOf(std::span<const JournalRecord> lines, std::int64_t id) {
    const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                   [id](const JournalRecord& line) { return line.id == id; });
    return last == lines.rend() ? nullptr : &*last;
}

void Stamp(JournalRecord& record, JournalClock::time_point now) {
    if (record.time.empty()) {
        record.time = UtcTimeText(now);
    }
    if (record.user.empty()) {
        record.user = LocalUser();
    }
}

// The effective user's entry in the password database, read with a buffer of our own.
template <typename Use>
auto WithPasswordEntry(Use use) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found);
    return use(found);
}

}  // namespace

JournalValue JournalValueOf(const SnmpValue& value) {
    if (const std::string* octets = OctetsIn(value)) {
        return BitmapText(*octets);
    }
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return std::int64_t{*number};
    }
    return std::int64_t{std::get<Unsigned32>(value).value};
}

std::optional<SnmpValue> SnmpValueOf(const JournalValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return OctetString{BitmapOctets(*text)};
    }
    const std::int64_t number = std::get<std::int64_t>(value);
    if (number < 0 || number > std::int64_t{UINT32_MAX}) {
        return std::nullopt;
    }
    return Unsigned32{static_cast<std::uint32_t>(number)};
}

QJsonObject RecordJson(const JournalRecord& record) {
    QJsonArray ports;
    for (const int port : record.ports) {
        ports.append(port);
    }
    QJsonArray objects;
    for (const JournalObject& object : record.objects) {
        objects.append(QJsonObject{{kOidKey, Json(object.oid)},
                                   {kBeforeKey, ValueJson(object.before)},
                                   {kAfterKey, ValueJson(object.after)}});
    }
    QJsonObject json{
        {kIdKey, static_cast<qint64>(record.id)},
        {kTimeKey, Json(record.time)},
        {kUserKey, Json(record.user)},
        {kSwitchKey,
         QJsonObject{{kAddressKey, Json(record.address)}, {kTypedKey, Json(record.typed)}}},
        {kMibKey, Json(record.mib)},
        {kCommandKey, Json(record.command)},
        {kPortsKey, ports},
        {kObjectsKey, objects},
        {kOutcomeKey, Json(record.outcome)},
    };
    if (record.from) {
        json.insert(kFromKey, static_cast<qint64>(*record.from));
    }
    if (record.to) {
        json.insert(kToKey, static_cast<qint64>(*record.to));
    }
    if (record.exitStatus) {
        json.insert(kExitStatusKey, *record.exitStatus);
    }
    if (record.of) {
        json.insert(kOfKey, static_cast<qint64>(*record.of));
    }
    if (record.revertBy) {
        json.insert(kRevertByKey, Json(*record.revertBy));
    }
    return json;
}

std::optional<JournalRecord> RecordFromJson(const QJsonObject& object) {
    FieldReader fields(object);
    JournalRecord record;
    const auto id = fields.Whole<std::int64_t>(kIdKey, 1, INT64_MAX);
    record.time = fields.Text(kTimeKey);
    record.user = fields.Text(kUserKey);
    FieldReader place(fields.Object(kSwitchKey));
    record.address = place.Text(kAddressKey);
    record.typed = place.Text(kTypedKey);
    record.mib = fields.Text(kMibKey);
    record.command = fields.Text(kCommandKey);
    for (const QJsonValue& port : fields.Array(kPortsKey)) {
        record.ports.push_back(fields.Whole<int>(port, 1, kLastPort).value_or(0));
    }
    record.from = fields.Whole<std::uint32_t>(kFromKey, kFirstVlanId, kLastVlanId);
    record.to = fields.Whole<std::uint32_t>(kToKey, kFirstVlanId, kLastVlanId);
    bool objectsOk = true;
    record.objects = ReadObjects(fields.Array(kObjectsKey), objectsOk);
    record.outcome = fields.Text(kOutcomeKey);
    record.exitStatus = fields.Whole<int>(kExitStatusKey, 0, 255);
    record.of = fields.Whole<std::int64_t>(kOfKey, 1, INT64_MAX);
    record.revertBy = fields.OptionalText(kRevertByKey);
    if (!id || !fields.ok() || !place.ok() || !objectsOk) {
        return std::nullopt;
    }
    record.id = *id;
    return record;
}

std::string UtcTimeText(JournalClock::time_point time) {
    const time_t seconds = JournalClock::to_time_t(time);
    struct tm utc {};
    ::gmtime_r(&seconds, &utc);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return std::string(text, length);
}

std::optional<JournalClock::time_point> ParseUtcTime(std::string_view text) {
    const std::string copy(text);
    struct tm utc {};
    const char* end = ::strptime(copy.c_str(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    if (end == nullptr || *end != '\0') {
        return std::nullopt;
    }
    const auto time = JournalClock::from_time_t(::timegm(&utc));
    // strptime allows blanks and short fields: only the form UtcTimeText writes is taken.
    return UtcTimeText(time) == text ? std::optional(time) : std::nullopt;
}

std::string LocalUser() {
    return WithPasswordEntry([](const passwd* entry) {
        return entry ? std::string(entry->pw_name) : std::to_string(::geteuid());
    });
}

JournalResult<std::string> JournalPath() {
    const char* journal = ::getenv("TARNWICK_JOURNAL");
    if (journal && *journal) {
        return std::string(journal);
    }
    std::string state;
    const char* stateHome = ::getenv("XDG_STATE_HOME");
    const char* home = ::getenv("HOME");
    if (stateHome && stateHome[0] == '/') {
        state = stateHome;
    } else if (home && *home) {
        state = std::string(home) + "/.local/state";
    } else {
        state = WithPasswordEntry([](const passwd* entry) {
            return entry && entry->pw_dir[0] == '/' ? std::string(entry->pw_dir) + "/.local/state"
                                                    : std::string();
        });
    }
    if (state.empty()) {
        return JournalError{
            "cannot find the journal: TARNWICK_JOURNAL, XDG_STATE_HOME and HOME are not set, "
            "and the user has no home directory"};
    }
    return state + "/tarnwick/journal.jsonl";
}

WaitState StateOfWait(std::span<const JournalRecord> lines, std::int64_t id,
                      JournalClock::time_point now) {
    const JournalRecord* last = LastLineOf(lines, id);
    if (!last) {
        return WaitState::NoSuchChange;
    }
    if (last->outcome == kConfirmedOutcome) {
        return WaitState::Confirmed;
    }
    if (last->outcome == kRevertedOutcome) {
        return WaitState::Reverted;
    }
    if (!last->revertBy) {
        return WaitState::NotWaiting;
    }
    // A deadline nobody can read can be met by nobody: the change is taken back.
    const auto deadline = ParseUtcTime(*last->revertBy);
    return deadline && now < *deadline ? WaitState::Waiting : WaitState::Expired;
}

std::vector<JournalRecord> Changes(std::span<const JournalRecord> lines) {
    std::map<std::int64_t, JournalRecord> last;
    for (const JournalRecord& line : lines) {
        last[line.id] = line;
    }
    std::vector<JournalRecord> changes;
    for (auto& [id, change] : last) {
        if (change.outcome == kBegunOutcome) {
            change.outcome = kInterruptedOutcome;
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

JournalResult<JournalRecord> Journal::Append(JournalRecord record) const {
    auto file = OpenLocked(m_path, Access::Append);
    if (auto* error = std::get_if<JournalError>(&file)) {
        return *error;
    }
    const FileDescriptor& journal = std::get<FileDescriptor>(file);
    auto lines = ReadLines(journal, m_path);
    if (auto* error = std::get_if<JournalError>(&lines)) {
        return *error;
    }
    const auto& records = std::get<JournalLines>(lines).records;
    if (record.id == 0) {
        const auto highest = std::max_element(
            records.begin(), records.end(),
            [](const JournalRecord& a, const JournalRecord& b) { return a.id < b.id; });
        record.id = highest == records.end() ? 1 : highest->id + 1;
    } else if (!LastLineOf(records, record.id)) {
        return JournalError{"no change " + std::to_string(record.id) + " in the journal " + m_path};
    }
    Stamp(record, JournalClock::now());
    if (auto error = WriteLine(journal, m_path, record)) {
        return *error;
    }
    return record;
}

JournalResult<JournalLines> Journal::Lines() const {
    auto file = OpenLocked(m_path, Access::Read);
    if (auto* error = std::get_if<JournalError>(&file)) {
        return *error;
    }
    const FileDescriptor& journal = std::get<FileDescriptor>(file);
    return journal.open() ? ReadLines(journal, m_path) : JournalLines{};
}

JournalResult<ConfirmOutcome> Journal::Confirm(std::int64_t id) const {
    auto file = OpenLocked(m_path, Access::AppendExisting);
    if (auto* error = std::get_if<JournalError>(&file)) {
        return *error;
    }
    const FileDescriptor& journal = std::get<FileDescriptor>(file);
    if (!journal.open()) {
        return ConfirmOutcome{};
    }
    const auto now = JournalClock::now();
    auto lines = ReadLines(journal, m_path);
    if (auto* error = std::get_if<JournalError>(&lines)) {
        return *error;
    }
    const auto& records = std::get<JournalLines>(lines).records;
    ConfirmOutcome outcome{cli::StateOfWait(records, id, now)};
    if (outcome.found != WaitState::Waiting) {
        return outcome;
    }
    JournalRecord confirmed = *LastLineOf(records, id);
    confirmed.time.clear();
    confirmed.user.clear();
    Stamp(confirmed, now);
    confirmed.outcome = kConfirmedOutcome;
    confirmed.exitStatus = kSucceeded;
    confirmed.revertBy.reset();
    if (auto error = WriteLine(journal, m_path, confirmed)) {
        return *error;
    }
    outcome.confirmed = std::move(confirmed);
    return outcome;
}

JournalResult<WaitState> Journal::StateOfWait(std::int64_t id) const {
    const auto now = JournalClock::now();
    auto lines = Lines();
    if (auto* error = std::get_if<JournalError>(&lines)) {
        return *error;
    }
    return cli::StateOfWait(std::get<JournalLines>(lines).records, id, now);
}

}  // namespace tarnwick::cli
