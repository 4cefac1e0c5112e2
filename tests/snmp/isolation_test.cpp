// Proves that the SNMP layer reads no configuration, consults no environment variable and writes
// no file, at any time including process exit: the test binary re-runs itself as a child with a
// poisoned environment, walks and SETs the simulated switch, exits, and the parent checks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"
#include "snmp/usm_keys.h"
#include "tests/support/start_switch.h"
#include "vlan/vlan_tables.h"

extern char** environ;

namespace {

// Every name asked of getenv() while recording is on. This definition in the executable takes
// the place of the C library's for every shared library, Net-SNMP included.
bool g_recordGetenv = false;
std::set<std::string>* g_getenvNames = nullptr;

}  // namespace

extern "C" char* getenv(const char* name) {
    if (g_recordGetenv && g_getenvNames != nullptr) {
        g_recordGetenv = false;  // the set's allocation must not record itself
        g_getenvNames->insert(name);
        g_recordGetenv = true;
    }
    const std::size_t length = std::strlen(name);
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, name, length) == 0 && (*entry)[length] == '=') {
            return *entry + length + 1;
        }
    }
    return nullptr;
}

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using test::SimulatedSwitch;

constexpr std::string_view kChildFlag = "--isolated-child=";
constexpr unsigned kChildAlarmSeconds = 60;

// The child: everything the library does, from start-up to exit, under the poisoned
// environment. Returns the process exit code; prints what went wrong.
int RunIsolatedChild(const std::string& switchCommaFront) {
    const std::string address = switchCommaFront.substr(0, switchCommaFront.find(','));
    alarm(kChildAlarmSeconds);  // never outlive a stuck test
    std::set<std::string> names;
    g_getenvNames = &names;
    g_recordGetenv = true;

    InitSnmpLibrary();
    DeviceSettings settings;
    settings.ipAddress = address;
    settings.timeout = 1000;
    NetSnmpAgent snmp;
    WalkTable vlanNames;
    const auto walk = snmp.Walk(settings, {kVlanNameColumn}, vlanNames);
    const auto set = snmp.Set(settings, std::string(kVlanPortsColumn) + ".100",
                              OctetString{std::string("\x00\x00\x00\xFF\xFF\x00", 6)});
    WalkTable ports;
    snmp.Walk(settings, {kVlanPortsColumn, RowForm::WalkRow, OctetForm::HexDump}, ports);
    // Over SNMPv3: engine ID discovery, keys derived in memory, an encrypted SET.
    DeviceSettings v3 = settings;
    v3.ipAddress = switchCommaFront.substr(switchCommaFront.find(',') + 1);
    v3.version = SnmpVersion::V3;
    v3.usm.user = "tarnwick-rw";
    const std::string_view passphrases = "tarnwick-rw-authtarnwick-rw-priv";
    UsmPassphrases secrets{SecretBuffer(passphrases.size()), passphrases.size() / 2};
    std::copy(passphrases.begin(), passphrases.end(), secrets.buffer.Bytes().begin());
    v3.usm.keys = DeriveUsmKeys(v3.usm, secrets);
    const auto v3Set = snmp.Set(v3, std::string(kVlanPortsColumn) + ".100",
                                OctetString{std::string("\x00\x00\x00\xFF\xFF\x00", 6)});

    g_recordGetenv = false;
    int failures = 0;
    auto check = [&failures](bool ok, const std::string& what) {
        if (!ok) {
            std::printf("FAILED: %s\n", what.c_str());
            ++failures;
        }
    };
    check(walk.end == WalkOutcome::End::Complete, "walk: " + walk.status.text);
    check(vlanNames == WalkTable{"default", "mgmt", "office", "lab-net", "printers",
                                 "\xE5\x8A\x9E\xE5\x85\xAC\xE7\xBD\x91", "stack",
                                 "\xD3\xEF\xD2\xF4", "voice"},
          "the VLAN names");
    check(set.ok(), "set: " + set.status.text);
    check(v3Set.ok(), "SNMPv3 set: " + v3Set.status.text);
    check(ports.size() == 9 && ports.back().find("00 00 00 FF FF 00") != std::string::npos,
          "the SET read back");
    for (const auto& name : names) {
        check(false, "getenv(\"" + name + "\")");
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : 1;
}

struct FileState {
    std::uintmax_t size = 0;
    fs::file_time_type modified;
    bool operator==(const FileState&) const = default;
};
using TreeState = std::map<std::string, FileState>;

TreeState Snapshot(const fs::path& root) {
    TreeState state;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto size = entry.is_regular_file() ? entry.file_size() : 0;
        state[entry.path().string()] = {size, entry.last_write_time()};
    }
    return state;
}

// Paths created, removed or written between the two snapshots.
std::vector<std::string> ChangedPaths(const TreeState& before, const TreeState& after) {
    std::vector<std::string> changed;
    for (const auto& [path, state] : after) {
        const auto old = before.find(path);
        if (old == before.end() || !(old->second == state)) {
            changed.push_back(path);
        }
    }
    for (const auto& [path, state] : before) {
        if (!after.contains(path)) {
            changed.push_back(path);
        }
    }
    return changed;
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

std::string ReadFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// A home, configuration directory and MIB directory that would each change what the library
// does if it ever looked at them, and a persistent directory that must never come to exist.
class PoisonedPlaces {
public:
    PoisonedPlaces() {
        char pattern[] = "/tmp/tarnwick-isolation-XXXXXX";
        m_root = mkdtemp(pattern);
        const std::string config =
            "defCommunity poisoned\n"
            "defVersion 3\n"
            "defSecurityName poisoned\n"
            "persistentDir " +
            Persist().string() +
            "\n"
            "mibs +POISONED-MIB\n"
            "doDebugging 1\n"
            "logTimestamp 1\n";
        WriteFile(m_root / "home/.snmp/snmp.conf", config);
        WriteFile(m_root / "conf/snmp.conf", config);
        WriteFile(m_root / "conf/snmp.local.conf", config);
        WriteFile(m_root / "mibs/POISONED-MIB.txt", "POISONED-MIB DEFINITIONS ::= BEGIN garbage\n");
        fs::create_directories(m_root / "cwd");
    }
    ~PoisonedPlaces() { fs::remove_all(m_root); }

    const fs::path& Root() const { return m_root; }
    fs::path Persist() const { return m_root / "persist"; }

    std::vector<std::string> Environment() const {
        const std::map<std::string, std::string> poison = {
            {"HOME", (m_root / "home").string()},
            {"SNMPCONFPATH", (m_root / "conf").string()},
            {"SNMP_PERSISTENT_DIR", Persist().string()},
            {"SNMP_PERSISTENT_FILE", (Persist() / "tarnwick.conf").string()},
            {"MIBS", "+POISONED-MIB:ALL"},
            {"MIBDIRS", (m_root / "mibs").string()},
            {"MIBFILES", (m_root / "mibs/POISONED-MIB.txt").string()},
            {"PREFIX", m_root.string()},
            {"SNMP_LOGFILE", (m_root / "cwd/snmp.log").string()},
        };
        std::vector<std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            if (!poison.contains(text.substr(0, text.find('=')))) {
                environment.push_back(text);
            }
        }
        for (const auto& [name, value] : poison) {
            environment.push_back(name + "=" + value);
        }
        return environment;
    }

private:
    fs::path m_root;
};

struct ChildResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ChildResult RunChild(const PoisonedPlaces& places, const fs::path& outputDir,
                     const std::string& address) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string flag = std::string(kChildFlag) + address;
    std::vector<char*> argv{const_cast<char*>(self.c_str()), const_cast<char*>(flag.c_str()),
                            nullptr};
    auto environment = places.Environment();
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    const auto outPath = (outputDir / "stdout").string();
    const auto errPath = (outputDir / "stderr").string();
    const auto cwd = (places.Root() / "cwd").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ChildResult result;
    if (spawned != 0) {
        result.err = std::strerror(spawned);
        return result;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

TEST(SnmpLibraryIsolation, PoisonedEnvironmentChangesNothing) {
    const auto sim = test::StartSwitch(SimulatedSwitch::Variant::Standard, true);
    ASSERT_TRUE(sim);
    const PoisonedPlaces places;
    const PoisonedPlaces output;  // stdout and stderr of the child, outside the watched tree
    const auto before = Snapshot(places.Root());

    const auto child = RunChild(places, output.Root(), sim->Address() + "," + sim->UsmAddress());

    EXPECT_EQ(child.exitCode, 0) << child.out << child.err;
    EXPECT_EQ(child.err, "") << "the library logged";
    EXPECT_EQ(ChangedPaths(before, Snapshot(places.Root())), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(places.Persist()));
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]).starts_with(tarnwick::kChildFlag)) {
        return tarnwick::RunIsolatedChild(argv[1] + tarnwick::kChildFlag.size());
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
