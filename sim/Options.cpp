#include "sim/Options.h"

#include <charconv>

#include "platform/GetoptArguments.h"

namespace {

std::string ParseHostPort(const std::string& text, Options& o) {
    const std::size_t colon = text.rfind(':');
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    o.tcpHost = colon == std::string::npos || colon == 0 ? kDefaultTcpHost : text.substr(0, colon);
    unsigned port = 0;
    auto [p, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (ec != std::errc() || p != portText.data() + portText.size() || port > 65535) {
        return "--tcp wants HOST:PORT with a port from 0 (any free one) to 65535";
    }
    o.tcpPort = static_cast<std::uint16_t>(port);
    return {};
}

std::string ParseDelay(const std::string& text, Options& o) {
    double ms = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
    if (ec != std::errc() || p != text.data() + text.size() || ms < 0 || ms > 10000) {
        return "--reply-delay wants 0 to 10000 ms";
    }
    o.replyDelayMs = ms;
    return {};
}

}  // namespace

std::string ParseOptions(const std::vector<std::string>& args, Options& o) {
    enum { kLink = 256, kTcp, kBus, kTrace, kControl, kStation, kDelay, kTell, kPacing };
    static const option kOptions[] = {
        {"help", no_argument, nullptr, 'h'},           {"link", required_argument, nullptr, kLink},
        {"tcp", required_argument, nullptr, kTcp},     {"bus", required_argument, nullptr, kBus},
        {"trace", required_argument, nullptr, kTrace}, {"control", required_argument, nullptr, kControl},
        {"station", required_argument, nullptr, kStation}, {"reply-delay", required_argument, nullptr, kDelay},
        {"tell", required_argument, nullptr, kTell},   {"baud-pacing", no_argument, nullptr, kPacing},
        {nullptr, 0, nullptr, 0}};
    GetoptArguments a(args, "+:h");
    // "+": the options come first; whatever follows --tell's socket is its command.
    for (int c; (c = getopt_long(a.argc(), a.argv(), "+:h", kOptions, nullptr)) != -1;) {
        std::string error;
        const std::string v = optarg ? optarg : "";
        switch (c) {
        case 'h': o.help = true; break;
        case kPacing: o.pacing = true; break;
        case kLink: o.linkPath = v; break;
        case kTcp: error = ParseHostPort(v, o); break;
        case kBus: o.busFile = v; break;
        case kTrace: o.traceFile = v; break;
        case kControl: o.controlPath = v; break;
        case kStation: o.stations.push_back(v); break;
        case kDelay: error = ParseDelay(v, o); break;
        case kTell:
            if (optind >= a.argc()) return "--tell needs the control socket and a command";
            o.tellPath = v;
            // Appended piece by piece: GCC 12 at -O3 takes a temporary joined to a string for an
            // overlapping copy.
            for (int i = optind; i < a.argc(); ++i) {
                if (!o.tellLine.empty()) o.tellLine += ' ';
                o.tellLine += a.argv()[i];
            }
            return {};
        case ':':
            if (optopt == kTell) return "--tell needs the control socket and a command";
            return a.last() + " needs a value";
        default: return "unknown option '" + a.last() + "' (see --help)";
        }
        if (!error.empty()) return error;
    }
    if (optind < a.argc()) return "unknown option '" + std::string(a.argv()[optind]) + "' (see --help)";
    if (!o.linkPath.empty() && !o.tcpHost.empty()) return "--link and --tcp exclude each other";
    if (o.linkPath.empty() && o.tcpHost.empty()) o.linkPath = kDefaultLink;
    return {};
}

std::string UsageText() {
    return "usage: qtvsim [--link PATH | --tcp HOST:PORT] [--bus FILE] [--trace FILE] [--control PATH]\n"
           "              [--baud-pacing] [--reply-delay MS] [--station ADDR:TYPE[:UNIT]]...\n"
           "\n"
           "Plays every QTV station of one RS-485 bus, until SIGINT or SIGTERM.\n"
           "\n"
           "  --link PATH        make a pseudo-terminal and a link to it at PATH (default ports/COM1);\n"
           "                     the program opens it as COMn when PATH is <ports folder>/COMn\n"
           "  --tcp HOST:PORT    be a network device server: serve one TCP connection at a time\n"
           "                     (default address 127.0.0.1:10001 when HOST is left out: --tcp :10001)\n"
           "  --bus FILE         the stations, as an INI text:\n"
           "                       [Bus] ReplyDelay=MS Pacing=0|1\n"
           "                       [Station N] Type=3510 Unit=bar Mode=constant|ramp|sine|noise\n"
           "                       Level= Amplitude= Period=SECONDS Value=over|under|N Fault=drop 3, q3f\n"
           "                       and any stored parameter by name (SP1Wert=800, Komma=1, DTxt=bar)\n"
           "  --station A:T[:U]  a station at address A (1..31) of type T (hexadecimal digits 0-9)\n"
           "                     with unit text U; without --bus and --station: four stations\n"
           "                     1 3510 bar (sine), 2 3520 kWh (constant), 3 3590 %rF (noise), 4 3585 Stk (ramp)\n"
           "  --trace FILE       log every request and reply with time stamps (- for stderr)\n"
           "  --control PATH     a local socket taking one-line commands, answering one line each\n"
           "  --baud-pacing      send reply bytes at 4800 baud (about 2.08 ms a byte)\n"
           "  --reply-delay MS   wait MS before a reply (default 2)\n"
           "\n"
           "       qtvsim --tell PATH COMMAND...\n"
           "                     sends one command to the control socket of a running qtvsim and\n"
           "                     prints its answer (exit status 1 on an error answer)\n"
           "\n"
           "Control commands (one per line; the answer is one line, \"ok ...\" or \"error ...\"):\n"
           "  list                               the stations: address, type, unit text\n"
           "  query ADDR                         what the station last received and answered, and\n"
           "                                     whether the PC answered that with ACK or NAK (pc=)\n"
           "  fault ADDR NAME [ARG]              switch a fault on: silent, nak, badsum, foreign ADDR,\n"
           "                                     stxsilence, longlen [L], garbage [BYTE], q3f, drop K,\n"
           "                                     trickle [MS]\n"
           "  clear ADDR [NAME|all]              switch one fault or all faults off\n"
           "  value ADDR N|over|under|normal     a constant value, or the out-of-range marks\n"
           "  mode ADDR constant|ramp|sine|noise [LEVEL [AMPLITUDE [PERIOD_S]]]\n"
           "  param ADDR NAME [VALUE]            read or set a stored parameter (SP1Wert, DTxt, ...)\n"
           "  add ADDR TYPE [UNIT] | remove ADDR a station joins or leaves the bus\n"
           "  delay MS | pacing on|off           reply delay and 4800-baud pacing of the whole bus\n"
           "  help                               the commands in one line\n"
           "\n"
           "Prints \"qtvsim: serving N stations on PATH\" on stdout when ready.\n";
}
