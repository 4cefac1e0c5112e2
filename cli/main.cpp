// tarnwick-cli: the switch's VLANs, member ports, safe moves and the save from a shell.
#include <unistd.h>

#include <QCoreApplication>
#include <iostream>
#include <utility>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/stderr_messages.h"
#include "snmp/net_snmp_agent.h"
#include "snmp/snmp_library.h"

int main(int argc, char** argv) {
    using namespace tarnwick;
    const QCoreApplication application(argc, argv);
    auto parsed = cli::ParseCommandLine(QCoreApplication::arguments());
    if (const auto* error = std::get_if<cli::UsageError>(&parsed)) {
        std::cerr << "tarnwick-cli: " << error->problem << '\n' << cli::UsageHint() << '\n';
        return cli::kUsageError;
    }
    if (const auto* info = std::get_if<cli::InfoRequest>(&parsed)) {
        std::cout << info->text;
        return cli::kSucceeded;
    }
    InitSnmpLibrary();
    NetSnmpAgent snmp;
    cli::StderrMessages messages(isatty(STDERR_FILENO) == 1);
    return cli::RunCommand(std::move(std::get<cli::Invocation>(parsed)), snmp, messages, std::cout);
}
