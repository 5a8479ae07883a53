#include "Arguments.h"

const char* const kUsage =
    "usage: cprmgrcmd addservice N ADDRESS PORT [--ports DIR]\n"
    "       cprmgrcmd remservice N 1 [--ports DIR]\n"
    "  N        local port number 1..99; the link is DIR/COMN (DIR: ports)\n"
    "  ADDRESS  IPv4 address or host name of the network device server\n"
    "  PORT     its TCP port, 1..65535\n";

std::optional<int> DecimalInRange(const std::string& text, int min, int max) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

bool ValidHostOrAddress(const std::string& text) {
    if (text.empty() || text.size() > 253 || text.front() == '-') return false;
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '.' || c == '-';
        if (!ok) return false;
    }
    return true;
}

namespace {

// An argument shown in a message: printable characters only, cut short, so that the message
// stays one line whatever was passed.
std::string Shown(const std::string& text) {
    std::string out;
    for (char c : text.substr(0, 40)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
    return "'" + out + (text.size() > 40 ? "...'" : "'");
}

// Takes "--ports DIR" out of the arguments; false with a reason when it is malformed.
bool TakePortsOption(std::vector<std::string>& args, std::string& folder, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--ports") continue;
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = "--ports needs a folder";
            return false;
        }
        folder = args[i + 1];
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

std::optional<int> PortNumber(const std::string& text, std::string& error) {
    auto n = DecimalInRange(text, 1, 99);
    if (!n) error = "port number must be 1 to 99: " + Shown(text);
    return n;
}

}  // namespace

std::optional<ToolCommand> ParseArguments(const std::vector<std::string>& input, std::string& error) {
    std::vector<std::string> args = input;
    ToolCommand cmd;
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) return cmd;
    if (!TakePortsOption(args, cmd.portsFolder, error)) return std::nullopt;
    if (args.empty()) {
        error = "missing command (addservice or remservice)";
        return std::nullopt;
    }
    if (args[0] == "remservice") {
        if (args.size() != 3) {
            error = "remservice needs: N 1";
            return std::nullopt;
        }
        cmd.kind = ToolCommand::Remove;
        auto n = PortNumber(args[1], error);
        if (!n) return std::nullopt;
        if (args[2] != "1") {
            error = "remservice: the last argument must be 1: " + Shown(args[2]);
            return std::nullopt;
        }
        cmd.portNumber = *n;
        return cmd;
    }
    if (args[0] == "addservice") {
        if (args.size() != 4) {
            error = "addservice needs: N ADDRESS PORT";
            return std::nullopt;
        }
        cmd.kind = ToolCommand::Add;
        auto n = PortNumber(args[1], error);
        if (!n) return std::nullopt;
        if (!ValidHostOrAddress(args[2])) {
            error = "not an IPv4 address or host name: " + Shown(args[2]);
            return std::nullopt;
        }
        auto tcp = DecimalInRange(args[3], 1, 65535);
        if (!tcp) {
            error = "TCP port must be 1 to 65535: " + Shown(args[3]);
            return std::nullopt;
        }
        cmd.portNumber = *n;
        cmd.address = args[2];
        cmd.tcpPort = *tcp;
        return cmd;
    }
    error = "unknown command " + Shown(args[0]) + " (addservice or remservice)";
    return std::nullopt;
}
