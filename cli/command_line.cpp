// The command line of tarnwick-cli, parsed with QCommandLineParser.
#include "cli/command_line.h"

#include <QCommandLineParser>
#include <algorithm>
#include <optional>

#include "snmp/decimal.h"
#include "snmp/device_address.h"
#include "vlan/port_bitmap.h"

namespace tarnwick::cli {
namespace {

constexpr int kLastVlan = 4094;

std::string Text(const QString& text) {
    return text.toStdString();
}

struct Options {
    QCommandLineOption readCommunity{QStringLiteral("read-community"),
                                     QStringLiteral("Community for reads (default public)."),
                                     QStringLiteral("COMMUNITY"), QStringLiteral("public")};
    QCommandLineOption writeCommunity{QStringLiteral("write-community"),
                                      QStringLiteral("Community for SETs (default private)."),
                                      QStringLiteral("COMMUNITY"), QStringLiteral("private")};
    QCommandLineOption timeout{
        QStringLiteral("timeout"),
        QStringLiteral("Wait per attempt in milliseconds, 1000 to 10000 (default 1000)."),
        QStringLiteral("MS"), QStringLiteral("1000")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Print one JSON document instead of text.")};
    QCommandLineOption dryRun{
        QStringLiteral("dry-run"),
        QStringLiteral("move: print the bitmaps it would send; send nothing.")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Print this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Print the version.")};
};

constexpr std::string_view kCommandsHelp = R"(
Commands:
  vlans                the VLANs (ID, name) in the switch's order
  members VLAN         the VLAN's member ports: port, interface index, interface name
  dump                 every VLAN with its name and member ports
  move PORTS FROM TO   move ports ("9", "1-8,12") from VLAN FROM to VLAN TO
  save                 tell the switch to save its configuration

Exit status: 0 success, 1 a request failed or a move was refused or not confirmed, 2 a usage
error.
)";

struct CommandShape {
    std::string_view name;
    Command command;
    std::string_view arguments;  // their names, one blank apart

    qsizetype ArgumentCount() const {
        return arguments.empty() ? 0 : std::count(arguments.begin(), arguments.end(), ' ') + 1;
    }
    std::string Usage() const {
        return std::string(name) + (arguments.empty() ? "" : " ") + std::string(arguments);
    }
};

constexpr CommandShape kCommands[] = {
    {"vlans", Command::Vlans, ""}, {"members", Command::Members, "VLAN"},
    {"dump", Command::Dump, ""},   {"move", Command::Move, "PORTS FROM TO"},
    {"save", Command::Save, ""},
};

std::optional<UsageError> TakeCommandArguments(Invocation& invocation,
                                               const std::vector<std::string>& arguments) {
    const auto vlan = [](const std::string& text) { return ParseDecimal(text, 1, kLastVlan); };
    switch (invocation.command) {
        case Command::Members: {
            const auto id = vlan(arguments[0]);
            if (!id) {
                return UsageError{"VLAN must be a number from 1 to 4094: " + arguments[0]};
            }
            invocation.vlan = std::to_string(*id);
            return std::nullopt;
        }
        case Command::Move: {
            auto ports = ParsePortList(arguments[0]);
            if (!ports) {
                return UsageError{"PORTS must be ports from 1 to " + std::to_string(kLastPort) +
                                  " such as 9 or 1-8,12: " + arguments[0]};
            }
            const auto from = vlan(arguments[1]);
            const auto to = vlan(arguments[2]);
            if (!from || !to) {
                return UsageError{"FROM and TO must be VLAN numbers from 1 to 4094: " +
                                  arguments[1] + " " + arguments[2]};
            }
            invocation.ports = std::move(*ports);
            invocation.fromVlan = std::to_string(*from);
            invocation.toVlan = std::to_string(*to);
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

std::variant<Invocation, UsageError> TakeOptions(const QCommandLineParser& parser,
                                                 const Options& options) {
    Invocation invocation;
    const std::string address = Text(parser.positionalArguments().front());
    if (!ParseDeviceAddress(address)) {
        return UsageError{"not a switch address: \"" + address + "\""};
    }
    invocation.settings.ipAddress = address;
    invocation.settings.readCommunity = Text(parser.value(options.readCommunity));
    invocation.settings.writeCommunity = Text(parser.value(options.writeCommunity));
    const std::string timeout = Text(parser.value(options.timeout));
    const auto milliseconds = ParseDecimal(timeout, kMinTimeout, kMaxTimeout);
    if (!milliseconds) {
        return UsageError{"--timeout must be " + std::to_string(kMinTimeout) + " to " +
                          std::to_string(kMaxTimeout) + " milliseconds: " + timeout};
    }
    invocation.settings.timeout = *milliseconds;
    invocation.json = parser.isSet(options.json);
    invocation.dryRun = parser.isSet(options.dryRun);
    return invocation;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads a switch's VLANs over SNMPv1, moves ports between them, saves."));
    parser.addPositionalArgument(QStringLiteral("ADDRESS"),
                                 QStringLiteral("IPv4 address or host name, optionally :port; "
                                                "[IPv6], optionally :port."));
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("See below."),
                                 QStringLiteral("COMMAND [ARGS]"));
    const Options options;
    parser.addOptions({options.readCommunity, options.writeCommunity, options.timeout, options.json,
                       options.dryRun, options.help, options.version});
    if (!parser.parse(arguments)) {
        return UsageError{Text(parser.errorText())};
    }
    if (parser.isSet(options.help)) {
        return InfoRequest{Text(parser.helpText()) + std::string(kCommandsHelp)};
    }
    if (parser.isSet(options.version)) {
        return InfoRequest{"tarnwick-cli " TARNWICK_VERSION "\n"};
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() < 2) {
        return UsageError{positional.isEmpty() ? "no ADDRESS and COMMAND" : "no COMMAND"};
    }
    const std::string name = Text(positional[1]);
    const auto* shape = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [&](const CommandShape& c) { return c.name == name; });
    if (shape == std::end(kCommands)) {
        return UsageError{"unknown command: " + name};
    }
    if (positional.size() != 2 + shape->ArgumentCount()) {
        return UsageError{"expected ADDRESS " + shape->Usage()};
    }
    auto taken = TakeOptions(parser, options);
    if (auto* error = std::get_if<UsageError>(&taken)) {
        return std::move(*error);
    }
    Invocation invocation = std::get<Invocation>(std::move(taken));
    invocation.command = shape->command;
    if (invocation.dryRun && invocation.command != Command::Move) {
        return UsageError{"--dry-run belongs to move"};
    }
    std::vector<std::string> commandArguments;
    for (qsizetype i = 2; i < positional.size(); ++i) {
        commandArguments.push_back(Text(positional[i]));
    }
    if (auto error = TakeCommandArguments(invocation, commandArguments)) {
        return std::move(*error);
    }
    return invocation;
}

std::string UsageHint() {
    return "Usage: tarnwick-cli ADDRESS {vlans | members VLAN | dump | move PORTS FROM TO "
           "[--dry-run] | save} [--json] [--timeout MS] [--read-community C] "
           "[--write-community C]; --help for more";
}

std::optional<std::vector<int>> ParsePortList(std::string_view text) {
    std::vector<int> ports;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const std::size_t dash = item.find('-');
        const auto first = ParseDecimal(item.substr(0, dash), 1, kLastPort);
        const auto last = dash == std::string_view::npos
                              ? first
                              : ParseDecimal(item.substr(dash + 1), 1, kLastPort);
        if (!first || !last || *last < *first) {
            return std::nullopt;
        }
        for (int port = *first; port <= *last; ++port) {
            ports.push_back(port);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

}  // namespace tarnwick::cli
