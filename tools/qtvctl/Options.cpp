#include "tools/qtvctl/Options.h"

#include <charconv>

#include "platform/GetoptArguments.h"

namespace {

constexpr long kLastStation = 31;  // long as ParseNumber: no sign to compare across, also where long has 32 bits
constexpr long kLastPort = 99;

struct Range {
    long low;
    long high;
};

Range ValueLimits(CommandKind kind) {
    return kind == CommandKind::Byte ? Range{0, 255} : Range{-32768, 65535};
}

ServiceAction ActionNamed(const std::string& name) {
    if (name == "backup") return ServiceAction::Backup;
    if (name == "compare") return ServiceAction::Compare;
    if (name == "restore") return ServiceAction::Restore;
    if (name == "setclock") return ServiceAction::SetClock;
    return ServiceAction::None;
}

// ADDRESS backup|compare|restore FILE, ADDRESS setclock, --all setclock.
bool CheckServiceAction(const std::vector<std::string>& positionals, Options& o, std::string& error) {
    const std::string& name = positionals[o.all ? 0 : 1];
    o.action = ActionNamed(name);
    const bool takesFile = o.action != ServiceAction::SetClock;
    const std::size_t expected = (o.all ? 1 : 2) + (takesFile ? 1 : 0);
    if (o.broadcast) error = name + " addresses one station at a time: --broadcast cannot be used";
    else if (o.force && o.action != ServiceAction::Restore) error = "--force goes with restore only";
    else if (takesFile && positionals.size() < expected) error = name + " needs a FILE";
    else if (positionals.size() > expected) error = "too many arguments after " + name;
    if (!error.empty()) return false;
    if (takesFile) o.file = positionals.back();
    if (o.all) return true;
    const auto address = ParseNumber(positionals[0]);
    if (!address || *address < 1 || *address > kLastStation) {
        error = "address '" + positionals[0] + "' is not a station address from 1 to 31";
        return false;
    }
    o.address = static_cast<unsigned>(*address);
    return true;
}

bool CheckPositionals(const std::vector<std::string>& positionals, Options& o, std::string& error) {
    if (o.all) {
        if (positionals.size() != 1 || positionals[0] != "setclock") {
            error = "--all goes with setclock alone: qtvctl --all setclock";
            return false;
        }
        return CheckServiceAction(positionals, o, error);
    }
    if (positionals.size() >= 2 && ActionNamed(positionals[1]) != ServiceAction::None)
        return CheckServiceAction(positionals, o, error);
    if (o.force) {
        error = "--force goes with restore only";
        return false;
    }
    if (positionals.size() < 2) {
        error = "missing ADDRESS and COMMAND (qtvctl --help shows the usage)";
        return false;
    }
    const auto address = ParseNumber(positionals[0]);
    if (!address || *address < 0 || *address > kLastStation) {
        error = "address '" + positionals[0] + "' is not a station address from 0 to 31 (--broadcast addresses all)";
        return false;
    }
    o.address = static_cast<unsigned>(*address);
    o.command = FindCommand(positionals[1]);
    if (!o.command) {
        error = "unknown command '" + positionals[1] + "' (qtvctl --help lists the commands)";
        return false;
    }
    const std::string name = o.command->name;
    const CommandKind kind = o.command->kind;
    if (!TakesValue(kind)) {
        if (positionals.size() > 2) error = name + " takes no value";
        return error.empty();
    }
    if (positionals.size() < 3) error = name + " needs a value: " + ValueRange(kind);
    else if (positionals.size() > 3) error = "too many arguments after " + name + " " + positionals[2];
    if (!error.empty()) return false;
    const std::string& value = positionals[2];
    if (kind == CommandKind::Text) {
        if (value.empty() || value.size() > 3) error = name + " needs 1 to 3 characters, not '" + value + "'";
        o.value.text = value;
        return error.empty();
    }
    const auto number = ParseNumber(value);
    const Range range = ValueLimits(kind);
    if (!number || *number < range.low || *number > range.high)
        error = "value '" + value + "' of " + name + " is not a number from " + ValueRange(kind);
    else
        o.value.number = *number;
    return error.empty();
}

}  // namespace

std::optional<long> ParseNumber(const std::string& text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.remove_prefix(1);
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    if (digits.empty() || digits.front() == '-' || digits.front() == '+') return std::nullopt;
    long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return negative ? -value : value;
}

namespace {
enum { kNet = 256, kBroadcast, kTrace, kAll, kForce, kPorts, kDevice, kPort };

const option kOptions[] = {
    {"help", no_argument, nullptr, 'h'},        {"net", no_argument, nullptr, kNet},
    {"broadcast", no_argument, nullptr, kBroadcast}, {"trace", no_argument, nullptr, kTrace},
    {"all", no_argument, nullptr, kAll},        {"force", no_argument, nullptr, kForce},
    {"ports", required_argument, nullptr, kPorts}, {"device", required_argument, nullptr, kDevice},
    {"port", required_argument, nullptr, kPort}, {nullptr, 0, nullptr, 0}};

bool TakeOption(int c, const std::string& given, Options& o, bool& portGiven, std::string& error) {
    const std::string value = optarg ? optarg : "";
    switch (c) {
    case 'h': o.help = true; break;
    case kNet: o.net = true; break;
    case kBroadcast: o.broadcast = true; break;
    case kTrace: o.trace = true; break;
    case kAll: o.all = true; break;
    case kForce: o.force = true; break;
    case kPorts: o.portsFolder = value; break;
    case kDevice:
        o.device = value;
        if (o.device.empty()) error = "--device needs a device path";
        break;
    case kPort: {
        const auto n = ParseNumber(value);
        if (!n || *n < 0 || *n > kLastPort) error = "port '" + value + "' is not a number from 0 to 99";
        else o.port = static_cast<unsigned>(*n);
        portGiven = true;
        break;
    }
    case ':': error = given + " needs an argument"; break;
    default: error = "unknown option '" + given + "'";
    }
    return error.empty();
}

std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    Options o;
    bool portGiven = false;
    std::vector<std::string> positionals;
    GetoptArguments a(args, "+:h");
    // Options and the words of the command in any order; a negative number is a value, not an
    // option ("5 WriteSP1Hyst -12"), so each argument is looked at before getopt_long takes it.
    while (optind < a.argc()) {
        const std::string arg = a.argv()[optind];
        if (arg.size() <= 1 || arg[0] != '-' || ParseNumber(arg)) {
            positionals.push_back(arg);
            ++optind;
            continue;
        }
        const int c = getopt_long(a.argc(), a.argv(), "+:h", kOptions, nullptr);
        if (c == -1) {  // "--": the rest are the command's words
            positionals.insert(positionals.end(), a.argv() + optind, a.argv() + a.argc());
            break;
        }
        if (!TakeOption(c, c == '?' && optopt ? std::string{'-', char(optopt)} : a.last(), o, portGiven, error))
            return std::nullopt;
    }
    if (o.help) return o;
    if (portGiven && !o.device.empty()) {
        error = "--port and --device exclude each other";
        return std::nullopt;
    }
    if (!CheckPositionals(positionals, o, error)) return std::nullopt;
    return o;
}
}  // namespace

// A message quotes what was given, which may hold any byte: it stays one line on the terminal.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    std::optional<Options> o = ParseArguments(args, error);
    for (char& c : error)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return o;
}
