// tarnwick-cli's commands run in process: what a run prints on stdout and stderr, and its status.
#pragma once

#include <sstream>
#include <string>

#include "cli/commands.h"

namespace tarnwick::test {

// Keeps the messages a run shows, a line each, as stderr would hold them.
class CapturedMessages final : public cli::Messages {
public:
    void Show(const std::string& text) override { lines += text + '\n'; }
    void Reading(std::string /*step*/) override {}
    void ReadDone() override {}
    std::string lines;
};

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    friend bool operator==(const CliRun&, const CliRun&) = default;
};

inline CliRun RunInProcess(cli::Invocation invocation, SnmpAgent& snmp) {
    CapturedMessages messages;
    std::ostringstream out;
    const int status = cli::RunCommand(std::move(invocation), snmp, messages, out);
    return {status, out.str(), messages.lines};
}

}  // namespace tarnwick::test
