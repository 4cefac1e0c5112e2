// Runs sim/run-switch in its own process group on a free loopback port and stops it again.
#include "tests/support/simulated_switch.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

#include "tests/support/raw_snmp.h"

#ifndef TARNWICK_SOURCE_DIR
#error "TARNWICK_SOURCE_DIR must name the source tree (it holds sim/run-switch)"
#endif

namespace tarnwick::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kStartTimeout = 20s;
constexpr auto kStopGrace = 5s;
constexpr auto kProbeWait = 100ms;
constexpr auto kPollInterval = 10ms;
constexpr const char* kLogName = "run-switch.log";

const char* VariantName(SimulatedSwitch::Variant variant) {
    switch (variant) {
        case SimulatedSwitch::Variant::Standard:
            return "standard";
        case SimulatedSwitch::Variant::Large:
            return "large";
        case SimulatedSwitch::Variant::Silent:
            return "silent";
        case SimulatedSwitch::Variant::StallMidWalk:
            return "stall-mid-walk";
        case SimulatedSwitch::Variant::RefusingSets:
            return "refusing-sets";
        case SimulatedSwitch::Variant::QBridge:
            return "q-bridge";
    }
    return "standard";
}

void SetError(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
}

// Binds port 0 on loopback to let the kernel choose, then releases it for the agent.
std::optional<std::uint16_t> PickFreeUdpPort() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return std::nullopt;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::optional<std::uint16_t> port;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

std::optional<std::string> MakeWorkDir() {
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    if (ec) {
        return std::nullopt;
    }
    std::string pattern = (base / "tarnwick-sim-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return std::nullopt;
    }
    return pattern;
}

std::string ReadLog(const std::string& workDir) {
    std::ifstream log(workDir + "/" + kLogName);
    return {std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
}

// Forks and execs run-switch as the leader of a new process group. Only async-signal-safe calls
// happen between fork and exec.
pid_t Launch(const std::vector<std::string>& args, const std::string& logPath) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        // A test process that dies without its destructors still takes the agent along.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(126);
        }
        const int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, STDIN_FILENO);
        if (log >= 0) {
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (log >= 0) {
        ::close(log);
    }
    if (pid > 0) {
        ::setpgid(pid, pid);  // also here, so the group exists before either side runs on
    }
    return pid;
}

bool HasExited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Silent never answers, so it is up once the kernel stops refusing the port.
bool IsUp(SimulatedSwitch::Variant variant, std::uint16_t port) {
    const RawRequest sysDescr{PduType::Get, "public", std::string(kSysDescr), {}};
    const Outcome outcome = Exchange(port, sysDescr, kProbeWait).outcome;
    if (variant == SimulatedSwitch::Variant::Silent) {
        return outcome == Outcome::NoAnswer;
    }
    return outcome == Outcome::Answered;
}

}  // namespace

SimulatedSwitch::SimulatedSwitch(pid_t pid, std::uint16_t port, std::string workDir)
    : m_pid(pid), m_port(port), m_workDir(std::move(workDir)) {}

std::unique_ptr<SimulatedSwitch> SimulatedSwitch::Start(Variant variant, std::string* error,
                                                        bool usmFront) {
    const std::optional<std::uint16_t> port = PickFreeUdpPort();
    std::optional<std::uint16_t> usmPort = usmFront ? PickFreeUdpPort() : port;
    if (usmFront && usmPort == port) {
        usmPort = PickFreeUdpPort();  // the kernel may hand out the released port again
    }
    if (!port || !usmPort) {
        SetError(error, "no free UDP port on 127.0.0.1");
        return nullptr;
    }
    std::optional<std::string> workDir = MakeWorkDir();
    if (!workDir) {
        SetError(error, "cannot create a temporary work directory");
        return nullptr;
    }
    const std::string endpoint = "127.0.0.1:" + std::to_string(*port);
    std::vector<std::string> args{TARNWICK_SOURCE_DIR "/sim/run-switch",
                                  "--endpoint",
                                  endpoint,
                                  "--variant",
                                  VariantName(variant),
                                  "--work-dir",
                                  *workDir};
    if (usmFront) {
        args.insert(args.end(), {"--usm-endpoint", "127.0.0.1:" + std::to_string(*usmPort)});
    }
    const pid_t pid = Launch(args, *workDir + "/" + kLogName);
    if (pid < 0) {
        std::error_code ignored;
        std::filesystem::remove_all(*workDir, ignored);
        SetError(error, "fork failed");
        return nullptr;
    }
    // The destructor stops the agent on every failure path below.
    std::unique_ptr<SimulatedSwitch> agent(new SimulatedSwitch(pid, *port, *workDir));
    agent->m_usmPort = usmFront ? *usmPort : 0;
    const auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        // Any answer to the front's probe community shows that it is up.
        if (IsUp(variant, *port) &&
            (!usmFront ||
             Exchange(*usmPort, {PduType::Get, "probe", "1.3.6.1.2.1.1.1.0", {}}, kProbeWait)
                     .outcome == Outcome::Answered)) {
            return agent;
        }
        if (HasExited(pid)) {
            SetError(error, "run-switch exited early: " + ReadLog(*workDir));
            return nullptr;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    SetError(error, "the simulated switch did not come up on " + endpoint +
                        " within 20 s: " + ReadLog(*workDir));
    return nullptr;
}

SimulatedSwitch::~SimulatedSwitch() {
    if (m_pid > 0) {
        ::kill(-m_pid, SIGTERM);
        const auto deadline = Clock::now() + kStopGrace;
        while (!HasExited(m_pid) && Clock::now() < deadline) {
            std::this_thread::sleep_for(kPollInterval);
        }
        // The leader is not reaped yet, so its group id cannot have been reused: sweep the group.
        ::kill(-m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_workDir, ignored);
}

std::string SimulatedSwitch::Address() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

std::string SimulatedSwitch::UsmAddress() const {
    return m_usmPort == 0 ? "" : "127.0.0.1:" + std::to_string(m_usmPort);
}

}  // namespace tarnwick::test
