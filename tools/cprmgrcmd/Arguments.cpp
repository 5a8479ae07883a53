#include "Arguments.h"

#include "platform/GetoptArguments.h"

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

std::optional<int> PortNumber(const std::string& text, std::string& error) {
    auto n = DecimalInRange(text, 1, 99);
    if (!n) error = "port number must be 1 to 99: " + Shown(text);
    return n;
}

}  // namespace

std::optional<ToolCommand> ParseArguments(const std::vector<std::string>& input, std::string& error) {
    ToolCommand cmd;
    if (!input.empty() && (input[0] == "--help" || input[0] == "-h")) return cmd;
    static const option kOptions[] = {{"ports", required_argument, nullptr, 'p'}, {nullptr, 0, nullptr, 0}};
    GetoptArguments a(input, "-:");
    // "-": the commands' words and numbers stay in their order; --ports may stand anywhere.
    std::vector<std::string> args;
    for (int c; (c = getopt_long(a.argc(), a.argv(), "-:", kOptions, nullptr)) != -1;) {
        if (c == 1) {
            args.push_back(optarg);
        } else if (c == 'p' && *optarg != '\0') {
            cmd.portsFolder = optarg;
        } else if (c == 'p' || c == ':') {
            error = "--ports needs a folder";
            return std::nullopt;
        } else {
            error = "unknown option " + Shown(a.last());
            return std::nullopt;
        }
    }
    args.insert(args.end(), a.argv() + optind, a.argv() + a.argc());
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
