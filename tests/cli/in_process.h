// tarnwick-cli's commands run in process: what a run prints on stdout and stderr, and its status.
#pragma once

#include <stdlib.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"

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
    QJsonObject Json() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    }
    friend bool operator==(const CliRun&, const CliRun&) = default;
};

inline CliRun RunInProcess(cli::Invocation invocation, SnmpAgent& snmp) {
    CapturedMessages messages;
    std::ostringstream out;
    const int status = cli::RunCommand(std::move(invocation), snmp, messages, out);
    return {status, out.str(), messages.lines};
}

// The words of a command line, one blank apart (two blanks: an empty word between).
inline QStringList Arguments(std::string_view line) {
    return QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())).split(u' ');
}

// The arguments after the program's name as the program takes them, with the SNMPv3 passphrases
// in the environment (the parse takes them out again), over Net-SNMP. A usage error is status 2
// with its problem on stderr.
inline CliRun RunCommandLine(QStringList arguments, const std::string& auth = {},
                             const std::string& priv = {}) {
    setenv("TARNWICK_AUTH_PASSPHRASE", auth.c_str(), 1);
    setenv("TARNWICK_PRIV_PASSPHRASE", priv.c_str(), 1);
    arguments.prepend(QStringLiteral("tarnwick-cli"));
    auto parsed = cli::ParseCommandLine(arguments);
    if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
        return {cli::kUsageError, {}, error->problem + '\n'};
    }
    InitSnmpLibrary();
    NetSnmpAgent snmp;
    return RunInProcess(std::get<cli::Invocation>(std::move(parsed)), snmp);
}

}  // namespace tarnwick::test
