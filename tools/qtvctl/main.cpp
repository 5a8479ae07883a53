// qtvctl: runs one device command against one station over the bus link, for bench work and
// for tests against the simulator.
//   qtvctl [--port N [--ports DIR] | --device PATH] [--net] [--broadcast] [--trace] ADDRESS COMMAND [VALUE]
//   qtvctl [port options] ADDRESS backup|compare|restore FILE, ADDRESS setclock, --all setclock
// Exit status: 0 the command succeeded, 1 the exchange failed, 2 bad usage or a port that
// cannot be opened (the bus is then not touched).

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "link/Sio.h"
#include "platform/Clock.h"
#include "platform/PortPath.h"
#include "platform/ProgramVersion.h"
#include "platform/SerialLine.h"
#include "tools/qtvctl/CommandTable.h"
#include "tools/qtvctl/ExchangeDiagnosis.h"
#include "tools/qtvctl/Options.h"
#include "tools/qtvctl/ServiceActions.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintHelp() {
    std::printf(
        "usage: qtvctl [--port N [--ports DIR] | --device PATH] [--net] [--broadcast] [--trace]\n"
        "              ADDRESS COMMAND [VALUE]\n"
        "       qtvctl [port options] ADDRESS backup|compare|restore FILE\n"
        "       qtvctl [port options] ADDRESS setclock | --all setclock\n"
        "\n"
        "Runs one device command against the station at ADDRESS (0..31) and prints the result.\n"
        "  --port N       serial port COMn (0..99, default 1): DIR/COMn if present, else /dev/ttyS<n-1>;\n"
        "                 on Windows \\\\.\\COMn\n"
        "  --ports DIR    folder of the COMn links (default ./ports; not on Windows)\n"
        "  --device PATH  open this serial device directly (on Windows a port name such as COM3)\n"
        "  --net          network mode: the request goes in one write, the reply is awaited longer\n"
        "  --broadcast    send to all stations (address 32); nothing is awaited\n"
        "  --trace        every byte sent and received and every RTS switch on stderr, in ms\n"
        "Numbers are decimal or 0x-hexadecimal. A failed exchange says why no valid answer came\n"
        "(no reply, NAK, wrong checksum, another station, ...). The clock commands also show their\n"
        "bytes as time and date. Exit status: 0 success, 1 the exchange failed,\n"
        "2 bad usage or the port cannot be opened.\n"
        "\n"
        "Actions over many commands (one line per parameter or station):\n"
        "  ADDRESS backup FILE     reads every parameter into FILE (INI, UTF-8); 1 when one is not read\n"
        "  ADDRESS compare FILE    reads them again beside FILE; 0 equal, 1 different or unreadable\n"
        "  ADDRESS restore FILE    writes and reads back each value; 0 when all are verified\n"
        "          [--force]       restore also when the file names another device type\n"
        "  ADDRESS setclock        sets the station's clock from this PC's; 1 when it failed\n"
        "  --all setclock          the same for every address 1..31 that answers\n"
        "\n"
        "Commands (value):\n");
    for (const CommandRow& row : CommandTable())
        std::printf("  %-16s %s\n", row.name.c_str(), ValueRange(row.kind));
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "qtvctl: %s\n", message.c_str());
    return kExitUsage;
}

// Opens the command-set port; an empty string when it is open, else the reason.
std::string OpenPort(const Options& o) {
    std::string name;
    if (!o.device.empty()) {
        SetSerialLineFactory([path = o.device] { return NewSerialLineOnDevice(path); });
        name = o.device;
    } else {
        SetPortsFolder(o.portsFolder);
        name = "COM" + std::to_string(o.port);
        const std::string path = PortDevicePath(o.port);
        if (!path.empty()) name += " (" + path + ")";
    }
    if (InitSio(static_cast<std::uint8_t>(o.device.empty() ? o.port : 1))) return {};
    const SerialLine* line = CommandSetLine();
    if (line && line->isOpen()) return name + " refuses the line settings (4800 baud, 8N1)";
    return "cannot open " + name;
}

std::uint64_t g_traceStart = 0;

double TraceMilliseconds() {
    const HiResCounter& counter = Counter();
    return static_cast<double>(counter.now() - g_traceStart) * 1000.0 / static_cast<double>(counter.frequency());
}

void Trace(const char* what, const std::uint8_t* bytes, std::size_t n) {
    std::string line;
    for (std::size_t i = 0; i < n; ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, " %02X", bytes[i]);
        line += digits;
    }
    std::fprintf(stderr, "%10.3f ms  %s%s\n", TraceMilliseconds(), what, line.c_str());
}

LinkTrace StderrTrace() {
    g_traceStart = Counter().now();
    return {[](const std::uint8_t* b, std::size_t n) { Trace("sent    ", b, n); },
            [](const std::uint8_t* b, std::size_t n) { Trace("received", b, n); },
            [](bool on) { Trace(on ? "RTS on" : "RTS off", nullptr, 0); }};
}

}  // namespace

int main(int argc, char** argv) {
    if (PrintVersionWhenAsked(argc, argv, "qtvctl")) return kExitSuccess;
    std::string error;
    const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) return UsageError(error);
    if (options->help) {
        PrintHelp();
        return kExitSuccess;
    }
    const std::string openError = OpenPort(*options);
    if (!openError.empty()) return UsageError(openError);
    BusAdresse = static_cast<std::uint8_t>(options->address);
    Broadcast = options->broadcast;
    Internet = options->net ? 1 : 0;
    ExchangeWatch watch;  // tells why an exchange failed
    watch.install(options->trace ? StderrTrace() : LinkTrace{});
    if (options->action != ServiceAction::None) {
        const int status = RunServiceAction(*options);
        ReSetSio();
        return status;
    }
    const std::int32_t result = RunCommand(*options->command, options->value, watch);
    ReSetSio();
    return result == 1 ? kExitSuccess : kExitFailed;
}
