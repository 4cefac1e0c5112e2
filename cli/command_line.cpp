// The command line of tarnwick-cli, parsed with QCommandLineParser.
#include "cli/command_line.h"

#include <string.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "snmp/decimal.h"
#include "snmp/device_address.h"
#include "snmp/display_text.h"
#include "snmp/usm_keys.h"
#include "vlan/identifiers.h"
#include "vlan/port_bitmap.h"

namespace tarnwick::cli {
namespace {

// The settings' own defaults, and the timeout's bounds, are what the help says.
const DeviceSettings kDefaults{};

struct Options {
    QCommandLineOption readCommunity{
        QStringLiteral("read-community"),
        QStringLiteral("Community for reads (default %1).").arg(Utf8Text(kDefaults.readCommunity)),
        QStringLiteral("COMMUNITY"), Utf8Text(kDefaults.readCommunity)};
    QCommandLineOption writeCommunity{
        QStringLiteral("write-community"),
        QStringLiteral("Community for SETs (default %1).").arg(Utf8Text(kDefaults.writeCommunity)),
        QStringLiteral("COMMUNITY"), Utf8Text(kDefaults.writeCommunity)};
    QCommandLineOption timeout{
        QStringLiteral("timeout"),
        QStringLiteral("Wait per attempt in milliseconds, %1 to %2 (default %3).")
            .arg(kMinTimeout)
            .arg(kMaxTimeout)
            .arg(kDefaults.timeout),
        QStringLiteral("MS"), QString::number(kDefaults.timeout)};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("Print one JSON document instead of text.")};
    QCommandLineOption dryRun{
        QStringLiteral("dry-run"),
        QStringLiteral("move: print the bitmaps or bindings it would send; send nothing.")};
    QCommandLineOption mac{
        QStringLiteral("mac"),
        QStringLiteral("move: the port is where the switch learned this MAC address, FROM its "
                       "VLAN; the only argument is TO."),
        QStringLiteral("MAC")};
    QCommandLineOption mib{
        QStringLiteral("mib"),
        QStringLiteral("auto, vendor or q-bridge: the VLAN table to use (default auto: the "
                       "vendor's if the switch has it, else the standard Q-BRIDGE-MIB's)."),
        QStringLiteral("MIB"), QStringLiteral("auto")};
    QCommandLineOption snmpVersion{QStringLiteral("snmp-version"),
                                   QStringLiteral("1, 2c or 3 (default 1)."), QStringLiteral("V"),
                                   QStringLiteral("1")};
    QCommandLineOption user{QStringLiteral("user"), QStringLiteral("SNMPv3 user name."),
                            QStringLiteral("NAME")};
    QCommandLineOption securityLevel{
        QStringLiteral("security-level"),
        QStringLiteral("SNMPv3: noAuthNoPriv, authNoPriv or authPriv (default authPriv)."),
        QStringLiteral("LEVEL"), QStringLiteral("authPriv")};
    QCommandLineOption authProtocol{
        QStringLiteral("auth-protocol"),
        QStringLiteral("SNMPv3: MD5, SHA, SHA-224, SHA-256, SHA-384 or SHA-512 (default SHA)."),
        QStringLiteral("P"), QStringLiteral("SHA")};
    QCommandLineOption privProtocol{
        QStringLiteral("priv-protocol"),
        QStringLiteral("SNMPv3: DES, AES, AES-192 or AES-256 (default AES)."), QStringLiteral("P"),
        QStringLiteral("AES")};
    QCommandLineOption noJournal{
        QStringLiteral("no-journal"),
        QStringLiteral("move, save, undo: append nothing to the journal this run.")};
    QCommandLineOption revertAfter{
        QStringLiteral("revert-after"),
        QStringLiteral("move: take the move back after SECONDS (1 to 3600) unless it is "
                       "confirmed: type yes, or run confirm ID in any shell."),
        QStringLiteral("SECONDS")};
    QCommandLineOption onSwitch{QStringLiteral("switch"),
                                QStringLiteral("journal: only the changes made on this switch."),
                                QStringLiteral("ADDRESS")};
    QCommandLineOption last{QStringLiteral("last"),
                            QStringLiteral("journal: only the last N changes."),
                            QStringLiteral("N")};
    QCommandLineOption context{QStringLiteral("context"),
                               QStringLiteral("SNMPv3 context name (default none)."),
                               QStringLiteral("NAME")};
    // Passphrases on the command line are in every user's process list: refused with a reason.
    QCommandLineOption passphrase{
        {QStringLiteral("auth-passphrase"), QStringLiteral("priv-passphrase"),
         QStringLiteral("auth-password"), QStringLiteral("priv-password"), QStringLiteral("A"),
         QStringLiteral("X")},
        QString(),
        QStringLiteral("TEXT")};
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
  move --mac MAC TO    move the port a device's MAC address was learned on to VLAN TO
  save                 tell the switch to save its configuration
  locate MAC           the port the switch learned a MAC address on (02:00:5e:10:00:06,
                       02-00-5E-10-00-06, 0200.5e10.0006, 02005e100006): port, interface,
                       VLAN, uplink; ADDRESS may name several switches, comma-separated, or
                       @FILE with one a line
  journal              the changes moves, saves and undo made, newest last (no ADDRESS)
  undo ID              put the ports of change ID back, on its switch (no ADDRESS)
  confirm ID           keep move ID, which --revert-after would take back (no ADDRESS)

On a switch with the standard Q-BRIDGE-MIB, ports are bridge ports; members and dump also say
whether each port is tagged; save is refused (the MIB has no object for it).

SNMPv3 passphrases come only from the environment, never from the command line (where every
user of the machine sees them): TARNWICK_AUTH_PASSPHRASE and TARNWICK_PRIV_PASSPHRASE, each of
at least 8 octets. Both are overwritten and removed from the environment as the program starts;
the keys are derived in memory and the passphrases wiped; while it holds keys the process makes
no core dump. The switch's engine ID is discovered.

Files: reads (vlans, members, dump, locate) write no file. Moves, saves and undo append to the journal
of changes: $TARNWICK_JOURNAL, else $XDG_STATE_HOME/tarnwick/journal.jsonl, else
~/.local/state/tarnwick/journal.jsonl (mode 600); a move sends nothing when it cannot write
there. With SNMPv3 the SSL library (OpenSSL) reads its configuration: the file $OPENSSL_CONF
names, else its default (/usr/lib/ssl/openssl.cnf).

Exit status: 0 success, 1 a request failed or a move was refused or not confirmed (with
--revert-after: taken back), locate found the address on no switch, 2 a usage error.
)";

template <typename Value>
struct Named {
    std::string_view name;
    Value value;
};

constexpr Named<SnmpVersion> kVersions[] = {
    {"1", SnmpVersion::V1}, {"2c", SnmpVersion::V2c}, {"3", SnmpVersion::V3}};
constexpr Named<MibChoice> kMibs[] = {
    {"auto", MibChoice::Auto}, {"vendor", MibChoice::Vendor}, {"q-bridge", MibChoice::QBridge}};
constexpr Named<SecurityLevel> kSecurityLevels[] = {{"noAuthNoPriv", SecurityLevel::NoAuthNoPriv},
                                                    {"authNoPriv", SecurityLevel::AuthNoPriv},
                                                    {"authPriv", SecurityLevel::AuthPriv}};
constexpr Named<AuthProtocol> kAuthProtocols[] = {
    {"MD5", AuthProtocol::Md5},        {"SHA", AuthProtocol::Sha},
    {"SHA-224", AuthProtocol::Sha224}, {"SHA-256", AuthProtocol::Sha256},
    {"SHA-384", AuthProtocol::Sha384}, {"SHA-512", AuthProtocol::Sha512}};
constexpr Named<PrivProtocol> kPrivProtocols[] = {{"DES", PrivProtocol::Des},
                                                  {"AES", PrivProtocol::Aes},
                                                  {"AES-192", PrivProtocol::Aes192},
                                                  {"AES-256", PrivProtocol::Aes256}};

// The value whose name the text is, in any case.
template <typename Value, std::size_t N>
std::optional<Value> ValueNamed(const Named<Value> (&names)[N], const QString& text) {
    for (const auto& named : names) {
        const QString name =
            QString::fromLatin1(named.name.data(), static_cast<qsizetype>(named.name.size()));
        if (text.compare(name, Qt::CaseInsensitive) == 0) {
            return named.value;
        }
    }
    return std::nullopt;
}

constexpr const char* kAuthPassphraseVariable = "TARNWICK_AUTH_PASSPHRASE";
constexpr const char* kPrivPassphraseVariable = "TARNWICK_PRIV_PASSPHRASE";

std::size_t ValueLength(const char* variable) {
    const char* value = std::getenv(variable);
    return value == nullptr ? 0 : std::strlen(value);
}

// Overwrites every value the variable has where it lies in the environment, then removes it.
void ScrubVariable(const char* variable) {
    const std::size_t length = std::strlen(variable);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, variable, length) == 0 && (*entry)[length] == '=') {
            explicit_bzero(*entry + length + 1, std::strlen(*entry + length + 1));
        }
    }
    unsetenv(variable);
}

// Both passphrases, out of the environment into one buffer: the process keeps no other copy.
UsmPassphrases TakePassphrases() {
    const std::size_t authLength = ValueLength(kAuthPassphraseVariable);
    UsmPassphrases passphrases{SecretBuffer(authLength + ValueLength(kPrivPassphraseVariable)),
                               authLength};
    unsigned char* into = passphrases.buffer.Bytes().data();
    for (const char* variable : {kAuthPassphraseVariable, kPrivPassphraseVariable}) {
        if (const char* value = std::getenv(variable)) {
            into = std::copy_n(value, std::strlen(value), into);
        }
        ScrubVariable(variable);
    }
    return passphrases;
}

// A usage problem when the level needs the passphrase and it is missing or short.
std::optional<UsageError> CheckPassphrase(const char* variable, std::string_view passphrase) {
    if (passphrase.empty()) {
        return UsageError{std::string("this security level needs the passphrase in ") + variable};
    }
    if (passphrase.size() < kShortestPassphrase) {
        return UsageError{std::string(variable) + " must hold at least " +
                          std::to_string(kShortestPassphrase) + " octets"};
    }
    return std::nullopt;
}

std::optional<UsageError> TakeSecurity(const QCommandLineParser& parser, const Options& options,
                                       UsmPassphrases& passphrases, DeviceSettings& settings) {
    const auto version = ValueNamed(kVersions, parser.value(options.snmpVersion));
    if (!version) {
        return UsageError{"--snmp-version must be 1, 2c or 3: " +
                          LogicText(parser.value(options.snmpVersion))};
    }
    settings.version = *version;
    const QCommandLineOption* usmOptions[] = {&options.user, &options.securityLevel,
                                              &options.authProtocol, &options.privProtocol,
                                              &options.context};
    if (settings.version != SnmpVersion::V3) {
        for (const QCommandLineOption* option : usmOptions) {
            if (parser.isSet(*option)) {
                return UsageError{"--" + LogicText(option->names().front()) +
                                  " belongs to --snmp-version 3"};
            }
        }
        return std::nullopt;
    }
    UsmSettings& usm = settings.usm;
    usm.user = LogicText(parser.value(options.user));
    if (usm.user.empty()) {
        return UsageError{"--snmp-version 3 needs --user"};
    }
    usm.context = LogicText(parser.value(options.context));
    const auto level = ValueNamed(kSecurityLevels, parser.value(options.securityLevel));
    const auto auth = ValueNamed(kAuthProtocols, parser.value(options.authProtocol));
    const auto priv = ValueNamed(kPrivProtocols, parser.value(options.privProtocol));
    if (!level || !auth || !priv) {
        return UsageError{
            "unknown --security-level, --auth-protocol or --priv-protocol: see --help"};
    }
    usm.level = *level;
    usm.authProtocol = *auth;
    usm.privProtocol = *priv;
    if (usm.level == SecurityLevel::NoAuthNoPriv) {
        return std::nullopt;
    }
    if (auto error = CheckPassphrase(kAuthPassphraseVariable, passphrases.Auth())) {
        return error;
    }
    if (usm.level == SecurityLevel::AuthPriv) {
        if (auto error = CheckPassphrase(kPrivPassphraseVariable, passphrases.Priv())) {
            return error;
        }
    }
    usm.keys = DeriveUsmKeys(usm, passphrases);
    return std::nullopt;
}

struct CommandShape {
    std::string_view name;
    Command command;
    std::string_view arguments;  // their names, one blank apart
    bool onSwitch = true;        // after ADDRESS; else the first word

    qsizetype ArgumentCount() const {
        return arguments.empty() ? 0 : std::count(arguments.begin(), arguments.end(), ' ') + 1;
    }
    std::string Usage() const {
        return (onSwitch ? "ADDRESS " : "") + std::string(name) + (arguments.empty() ? "" : " ") +
               std::string(arguments);
    }
};

constexpr CommandShape kCommands[] = {
    {"vlans", Command::Vlans, ""},        {"members", Command::Members, "VLAN"},
    {"dump", Command::Dump, ""},          {"move", Command::Move, "PORTS FROM TO"},
    {"save", Command::Save, ""},          {"journal", Command::Journal, "", false},
    {"undo", Command::Undo, "ID", false}, {"confirm", Command::Confirm, "ID", false},
    {"locate", Command::Locate, "MAC"},
};

const CommandShape* CommandNamed(std::string_view name) {
    const auto* shape = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [&](const CommandShape& c) { return c.name == name; });
    return shape == std::end(kCommands) ? nullptr : shape;
}

// move with --mac: the port and FROM are where the switch learned the address.
constexpr CommandShape kMoveByMac{"move --mac MAC", Command::Move, "TO"};

UsageError MacProblem(const std::string& text) {
    return {
        "MAC must be six octets as 02:00:5e:10:00:06, 02-00-5E-10-00-06, 0200.5e10.0006 or "
        "02005e100006: " +
        text};
}

// The text's lines without blanks at either end; none that is empty or a "#" comment.
std::vector<std::string> AddressLines(std::istream& in) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line[first] != '#') {
            lines.push_back(line.substr(first, line.find_last_not_of(" \t\r") - first + 1));
        }
    }
    return lines;
}

// ADDRESS: one switch, several comma-separated, or @FILE with one a line; each once.
std::variant<std::vector<std::string>, UsageError> TakeAddresses(const std::string& text) {
    std::vector<std::string> words;
    if (text.starts_with('@')) {
        std::ifstream file(text.substr(1));
        words = AddressLines(file);
        if (!file.eof()) {
            return UsageError{"could not read the switch addresses in " + text.substr(1)};
        }
        if (words.empty()) {
            return UsageError{"no switch address in " + text.substr(1)};
        }
    } else {
        std::istringstream list(text);
        for (std::string word; std::getline(list, word, ',');) {
            words.push_back(word);
        }
    }
    std::vector<std::string> addresses;
    for (const std::string& word : words) {
        if (!ParseDeviceAddress(word)) {
            return UsageError{"not a switch address: \"" + word + "\""};
        }
        if (std::ranges::find(addresses, word) == addresses.end()) {
            addresses.push_back(word);
        }
    }
    if (addresses.empty()) {
        return UsageError{"not a switch address: \"" + text + "\""};
    }
    return addresses;
}

std::optional<UsageError> TakeCommandArguments(Invocation& invocation,
                                               const std::vector<std::string>& arguments) {
    switch (invocation.command) {
        case Command::Members: {
            const auto id = ParseVlanId(arguments[0]);
            if (!id) {
                return UsageError{"VLAN must be a number from 1 to 4094: " + arguments[0]};
            }
            invocation.vlan = std::to_string(*id);
            return std::nullopt;
        }
        case Command::Locate: {
            invocation.mac = ParseMac(arguments[0]);
            if (!invocation.mac) {
                return MacProblem(arguments[0]);
            }
            return std::nullopt;
        }
        case Command::Move: {
            if (invocation.mac) {
                const auto to = ParseVlanId(arguments[0]);
                if (!to) {
                    return UsageError{"TO must be a VLAN number from 1 to 4094: " + arguments[0]};
                }
                invocation.toVlan = *to;
                return std::nullopt;
            }
            auto ports = ParsePortList(arguments[0]);
            if (!ports) {
                return UsageError{"PORTS must be ports from 1 to " + std::to_string(kLastPort) +
                                  " such as 9 or 1-8,12: " + arguments[0]};
            }
            const auto from = ParseVlanId(arguments[1]);
            const auto to = ParseVlanId(arguments[2]);
            if (!from || !to) {
                return UsageError{"FROM and TO must be VLAN numbers from 1 to 4094: " +
                                  arguments[1] + " " + arguments[2]};
            }
            invocation.ports = std::move(*ports);
            invocation.fromVlan = *from;
            invocation.toVlan = *to;
            return std::nullopt;
        }
        case Command::Undo:
        case Command::Confirm: {
            const auto change = ParseDecimal<std::int64_t>(arguments[0], 1);
            if (!change) {
                return UsageError{"ID must be a change's number from the journal: " + arguments[0]};
            }
            invocation.change = *change;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

// The options that belong to some commands only: each with those.
std::optional<UsageError> TakeCommandOptions(const QCommandLineParser& parser,
                                             const Options& options, Invocation& invocation) {
    using enum Command;
    const struct {
        const QCommandLineOption& option;
        std::initializer_list<Command> commands;
        std::string_view owners;
    } belonging[] = {{options.dryRun, {Move}, "move"},
                     {options.mac, {Move}, "move"},
                     {options.revertAfter, {Move}, "move"},
                     {options.noJournal, {Move, Save, Undo}, "move, save and undo"},
                     {options.onSwitch, {Journal}, "journal"},
                     {options.last, {Journal}, "journal"}};
    for (const auto& [option, commands, owners] : belonging) {
        if (parser.isSet(option) &&
            std::find(commands.begin(), commands.end(), invocation.command) == commands.end()) {
            return UsageError{"--" + LogicText(option.names().front()) + " belongs to " +
                              std::string(owners)};
        }
    }
    invocation.noJournal = parser.isSet(options.noJournal);
    if (parser.isSet(options.revertAfter)) {
        const std::string seconds = LogicText(parser.value(options.revertAfter));
        invocation.revertAfter = ParseDecimal(seconds, 1, 3600);
        if (!invocation.revertAfter) {
            return UsageError{"--revert-after must be 1 to 3600 seconds: " + seconds};
        }
        if (invocation.dryRun || invocation.noJournal) {
            return UsageError{
                "--revert-after works from the journal: not with --dry-run or "
                "--no-journal"};
        }
    }
    if (parser.isSet(options.onSwitch)) {
        invocation.onSwitch = LogicText(parser.value(options.onSwitch));
        if (!ParseDeviceAddress(invocation.onSwitch)) {
            return UsageError{"not a switch address: \"" + invocation.onSwitch + "\""};
        }
    }
    if (parser.isSet(options.last)) {
        const std::string last = LogicText(parser.value(options.last));
        invocation.last = ParseDecimal<std::size_t>(last, 1);
        if (!invocation.last) {
            return UsageError{"--last must be a number from 1: " + last};
        }
    }
    return std::nullopt;
}

std::variant<Invocation, UsageError> TakeOptions(const QCommandLineParser& parser,
                                                 const Options& options,
                                                 UsmPassphrases& passphrases, bool onSwitch) {
    Invocation invocation;
    if (onSwitch) {
        auto addresses = TakeAddresses(LogicText(parser.positionalArguments().front()));
        if (auto* error = std::get_if<UsageError>(&addresses)) {
            return std::move(*error);
        }
        invocation.addresses = std::get<std::vector<std::string>>(std::move(addresses));
        invocation.settings.ipAddress = invocation.addresses.front();
    }
    invocation.settings.readCommunity = LogicText(parser.value(options.readCommunity));
    invocation.settings.writeCommunity = LogicText(parser.value(options.writeCommunity));
    const std::string timeout = LogicText(parser.value(options.timeout));
    const auto milliseconds = ParseDecimal(timeout, kMinTimeout, kMaxTimeout);
    if (!milliseconds) {
        return UsageError{"--timeout must be " + std::to_string(kMinTimeout) + " to " +
                          std::to_string(kMaxTimeout) + " milliseconds: " + timeout};
    }
    invocation.settings.timeout = *milliseconds;
    const auto mib = ValueNamed(kMibs, parser.value(options.mib));
    if (!mib) {
        return UsageError{"--mib must be auto, vendor or q-bridge: " +
                          LogicText(parser.value(options.mib))};
    }
    invocation.mib = *mib;
    if (auto error = TakeSecurity(parser, options, passphrases, invocation.settings)) {
        return std::move(*error);
    }
    invocation.json = parser.isSet(options.json);
    invocation.dryRun = parser.isSet(options.dryRun);
    return invocation;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
    // Out of the environment first, whatever the line asks; wiped when this returns.
    UsmPassphrases passphrases = TakePassphrases();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads a switch's VLANs over SNMPv1, SNMPv2c or SNMPv3, moves ports "
                       "between them, saves."));
    parser.addPositionalArgument(QStringLiteral("ADDRESS"),
                                 QStringLiteral("IPv4 address or host name, optionally :port; "
                                                "[IPv6], optionally :port. None before journal, "
                                                "undo and confirm; for locate several, "
                                                "comma-separated, or @FILE."));
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("See below."),
                                 QStringLiteral("COMMAND [ARGS]"));
    Options options;
    options.passphrase.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({options.readCommunity, options.writeCommunity, options.timeout, options.mib,
                       options.snmpVersion, options.user, options.securityLevel,
                       options.authProtocol, options.privProtocol, options.context,
                       options.passphrase, options.json});
    // Those of some commands only, then the program's own.
    parser.addOptions({options.dryRun, options.mac, options.revertAfter, options.noJournal,
                       options.onSwitch, options.last, options.help, options.version});
    if (!parser.parse(arguments)) {
        return UsageError{LogicText(parser.errorText())};
    }
    if (parser.isSet(options.passphrase)) {
        return UsageError{
            "passphrases are read only from TARNWICK_AUTH_PASSPHRASE and "
            "TARNWICK_PRIV_PASSPHRASE: on the command line every user of the machine sees them"};
    }
    if (parser.isSet(options.help)) {
        return InfoRequest{LogicText(parser.helpText()) + std::string(kCommandsHelp)};
    }
    if (parser.isSet(options.version)) {
        return InfoRequest{"tarnwick-cli " TARNWICK_VERSION "\n"};
    }
    const QStringList positional = parser.positionalArguments();
    // As the first word, journal, undo and confirm are commands, not host names.
    const CommandShape* shape =
        positional.isEmpty() ? nullptr : CommandNamed(LogicText(positional[0]));
    shape = shape && !shape->onSwitch ? shape : nullptr;
    if (!shape && positional.size() < 2) {
        return UsageError{positional.isEmpty() ? "no ADDRESS and COMMAND" : "no COMMAND"};
    }
    const qsizetype words = shape ? 1 : 2;  // before the command's own
    if (!shape) {
        const std::string name = LogicText(positional[1]);
        shape = CommandNamed(name);
        if (!shape || !shape->onSwitch) {
            return UsageError{shape ? name + " takes no ADDRESS: tarnwick-cli " + shape->Usage()
                                    : "unknown command: " + name};
        }
    }
    if (parser.isSet(options.mac) && shape->command == Command::Move) {
        shape = &kMoveByMac;
    }
    if (positional.size() != words + shape->ArgumentCount()) {
        return UsageError{"expected " + shape->Usage()};
    }
    auto taken = TakeOptions(parser, options, passphrases, shape->onSwitch);
    if (auto* error = std::get_if<UsageError>(&taken)) {
        return std::move(*error);
    }
    Invocation invocation = std::get<Invocation>(std::move(taken));
    invocation.command = shape->command;
    if (auto error = TakeCommandOptions(parser, options, invocation)) {
        return std::move(*error);
    }
    if (invocation.addresses.size() > 1 && invocation.command != Command::Locate) {
        return UsageError{"only locate asks several switches"};
    }
    if (parser.isSet(options.mac)) {
        const std::string mac = LogicText(parser.value(options.mac));
        invocation.mac = ParseMac(mac);
        if (!invocation.mac) {
            return MacProblem(mac);
        }
    }
    std::vector<std::string> commandArguments;
    for (qsizetype i = words; i < positional.size(); ++i) {
        commandArguments.push_back(LogicText(positional[i]));
    }
    if (auto error = TakeCommandArguments(invocation, commandArguments)) {
        return std::move(*error);
    }
    return invocation;
}

std::string UsageHint() {
    return "Usage: tarnwick-cli ADDRESS {vlans | members VLAN | dump | move "
           "{PORTS FROM | --mac MAC} TO [--dry-run | --revert-after SECONDS] | save | locate MAC} "
           "[--json] [--mib auto|vendor|q-bridge] [--timeout MS] [--read-community C] "
           "[--write-community C] [--snmp-version 1|2c|3] [--user NAME ...] [--no-journal]; "
           "tarnwick-cli journal [--json] [--switch ADDRESS] [--last N]; tarnwick-cli [options] "
           "{undo | confirm} ID; --help for more";
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
