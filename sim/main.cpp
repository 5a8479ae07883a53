// qtvsim: plays every QTV station of one bus on a pseudo-terminal or a TCP connection.

#include <csignal>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSizeLimit.h"
#include "platform/ProgramVersion.h"

#include "sim/BusFile.h"
#include "sim/Control.h"
#include "sim/Options.h"
#include "sim/PtyAttachment.h"
#include "sim/ServeLoop.h"
#include "sim/TcpAttachment.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnStopSignal(int) { gStop = 1; }

constexpr double kDefaultReplyDelayMs = 2.0;

int Fail(const std::string& message) {
    std::cerr << "qtvsim: " << message << "\n";
    return 2;
}

// The bus file: a regular file only. A pipe of that name would hold the start for ever.
std::string ReadBusFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return "cannot read " + path + ": " + std::strerror(errno);
    struct stat info {};
    std::string error;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) error = path + " is not a regular file";
    constexpr std::size_t kLargest = 1 << 20;  // a bus of 31 stations takes a few kilobytes
    char chunk[4096];
    while (error.empty()) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = "cannot read " + path + ": " + std::strerror(errno);
        if (got <= 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.size() > kLargest) error = path + " is larger than 1 MB";
    }
    ::close(fd);
    return error;
}

std::string BuildConfig(const Options& o, BusConfig& config) {
    config.settings.replyDelayMs = kDefaultReplyDelayMs;
    if (!o.busFile.empty()) {
        std::string text;
        if (std::string error = ReadBusFile(o.busFile, text); !error.empty()) return error;
        const std::string error = ParseBusFile(text, config);
        if (!error.empty()) return o.busFile + ": " + error;
    }
    for (const std::string& stationText : o.stations) {
        const std::string error = AddStationArgument(stationText, config);
        if (!error.empty()) return "--station " + stationText + ": " + error;
    }
    if (o.busFile.empty() && o.stations.empty()) config.stations = DefaultBusConfig().stations;
    if (o.pacing) config.settings.pacing = true;
    if (o.replyDelayMs) config.settings.replyDelayMs = *o.replyDelayMs;
    return {};
}

// The trace: every line with its time since the start, to a file or stderr.
std::unique_ptr<std::ostream> OpenTrace(const std::string& path, std::string& error) {
    if (path.empty()) return nullptr;
    if (path == "-") return std::make_unique<std::ostream>(std::cerr.rdbuf());
    auto file = std::make_unique<std::ofstream>(path, std::ios::trunc);
    if (!*file) error = "cannot write the trace " + path;
    return file;
}

std::unique_ptr<Attachment> Attach(const Options& o, std::string& error) {
    if (!o.tcpHost.empty()) {
        auto tcp = std::make_unique<TcpAttachment>();
        error = tcp->open(o.tcpHost, o.tcpPort);
        return tcp;
    }
    auto pty = std::make_unique<PtyAttachment>();
    error = pty->open(o.linkPath);
    return pty;
}

int Tell(const Options& o) {
    std::string error;
    const std::string answer = TellControlSocket(o.tellPath, o.tellLine, error);
    if (!error.empty()) return Fail(error);
    std::cout << answer << "\n";
    return answer.rfind("ok", 0) == 0 ? 0 : 1;
}

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);  // the terminal it was started from closed
    std::signal(SIGPIPE, SIG_IGN);
}

int Run(int argc, char** argv) {
    Options options;
    std::string error = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options);
    if (!error.empty()) return Fail(error);
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }
    if (!options.tellPath.empty()) return Tell(options);
    BusConfig config;
    if (error = BuildConfig(options, config); !error.empty()) return Fail(error);
    Bus bus;
    if (error = Populate(bus, config); !error.empty()) return Fail(error);
    auto trace = OpenTrace(options.traceFile, error);
    if (!error.empty()) return Fail(error);
    if (trace) {
        bus.setLog([&trace](double ms, const std::string& line) {
            char stamp[24];
            std::snprintf(stamp, sizeof stamp, "%10.3f ", ms);
            *trace << stamp << line << std::endl;
        });
    }
    InstallSignals();
    auto attachment = Attach(options, error);
    if (!error.empty()) return Fail(error);
    Control control(bus);
    ControlSocket controlSocket;
    if (!options.controlPath.empty()) {
        error = controlSocket.open(options.controlPath, [&](const std::string& line) { return control.execute(line, Now()); });
        if (!error.empty()) return Fail(error);
    }
    std::cout << "qtvsim: serving " << bus.stations().size() << " stations on " << attachment->describe() << std::endl;
    Serve(bus, *attachment, options.controlPath.empty() ? nullptr : &controlSocket, &gStop);
    std::cout << "qtvsim: stopped" << std::endl;
    return 0;
}

}  // namespace

// Every ending that can be caught removes the link: the stop signals end the serving loop, an
// error or an exception returns through the attachment's destructor, and a fatal signal is
// caught by the link itself (platform/OwnedLink.h).
int main(int argc, char** argv) {
    if (PrintVersionWhenAsked(argc, argv, "qtvsim")) return 0;
    IgnoreFileSizeLimitSignal();  // the trace file
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        return Fail(std::string("stopped by an error: ") + e.what());
    }
}
