#include "tools/qtvctl/Options.h"

#include <charconv>

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

// The option's argument after args[i]; advances i.
bool TakeArgument(const std::vector<std::string>& args, std::size_t& i, std::string& into, std::string& error) {
    if (i + 1 >= args.size()) {
        error = args[i] + " needs an argument";
        return false;
    }
    into = args[++i];
    return true;
}

bool ParseOption(const std::vector<std::string>& args, std::size_t& i, Options& o, bool& portGiven,
                 std::string& error) {
    const std::string& arg = args[i];
    std::string text;
    if (arg == "--help" || arg == "-h") {
        o.help = true;
    } else if (arg == "--net") {
        o.net = true;
    } else if (arg == "--broadcast") {
        o.broadcast = true;
    } else if (arg == "--trace") {
        o.trace = true;
    } else if (arg == "--all") {
        o.all = true;
    } else if (arg == "--force") {
        o.force = true;
    } else if (arg == "--ports") {
        return TakeArgument(args, i, o.portsFolder, error);
    } else if (arg == "--device") {
        if (!TakeArgument(args, i, o.device, error)) return false;
        if (o.device.empty()) error = "--device needs a device path";
    } else if (arg == "--port") {
        if (!TakeArgument(args, i, text, error)) return false;
        const auto n = ParseNumber(text);
        if (!n || *n < 0 || *n > kLastPort) error = "port '" + text + "' is not a number from 0 to 99";
        else o.port = static_cast<unsigned>(*n);
        portGiven = true;
    } else {
        error = "unknown option '" + arg + "'";
    }
    return error.empty();
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
std::optional<Options> ParseArguments(const std::vector<std::string>& args, std::string& error) {
    Options o;
    bool portGiven = false;
    std::vector<std::string> positionals;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = arg.size() > 1 && arg[0] == '-' && !ParseNumber(arg);
        if (!isOption) {
            positionals.push_back(arg);
        } else if (!ParseOption(args, i, o, portGiven, error)) {
            return std::nullopt;
        }
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
