// How much one ReadMWert exchange costs beyond the pauses the protocol prescribes.
//
// The PC side is the real command-set port (InitSio on a pseudo-terminal linked as COM7); the
// station is a thread on the master side that answers every request at once. An exchange can
// never be faster than its floor: the drain read on the idle line (101 ms, the single-byte read
// time-out) plus the 3000-unit pause before the rest of the answer (3000 / 95000 s = 31.6 ms).
// What lies above the floor is ours: polling, system calls, scheduling.
//
//   bench_exchange [exchanges]      (default 100, about 14 s)
// Goal: median overhead <= 1 ms, 99th percentile <= 3 ms.
//
//   bench_exchange --port N [--ports DIR] [--address A] [exchanges]
// runs the same exchanges against a station behind COMn instead (qtvsim, which answers after
// its reply delay of 2 ms): on Linux DIR/COMn, on Windows \\.\COMn. This is the one way on
// Windows, where scripts/bench-windows runs it under Wine beside the Linux build, both against
// qtvsim, and prints the ratio.

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/PortPath.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <pty.h>
#include <unistd.h>
#endif

namespace {

constexpr std::uint8_t kStation = 5;
constexpr double kFloorMs = 101.0 + 3000.0 * 1000.0 / 95000.0;

double CpuSeconds() {
#ifdef _WIN32
    FILETIME created{}, ended{}, kernel{}, user{};
    ::GetThreadTimes(::GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto hundredNs = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (hundredNs(kernel) + hundredNs(user)) * 1e-7;
#else
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
#endif
}

#ifndef _WIN32

// The station: collects a whole request (in local mode the PC sends its L + 1 bytes one at a
// time plus one stray byte from its buffer), answers STX 05 05 hi lo sum at once, and takes the
// PC's ACK. The value it reports counts up, so that a stale answer would show.
class AnsweringStation {
public:
    explicit AnsweringStation(int master) : master_(master), thread_([this] { Run(); }) {}
    ~AnsweringStation() {
        stop_ = true;
        thread_.join();
    }
    std::uint16_t lastValue() const { return value_.load(); }

private:
    void Run() {
        std::vector<std::uint8_t> request;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            std::uint8_t chunk[64];
            const ssize_t got = ::read(master_, chunk, sizeof chunk);
            if (got <= 0) return;
            for (ssize_t i = 0; i < got; ++i) Take(request, chunk[i]);
        }
    }
    void Take(std::vector<std::uint8_t>& request, std::uint8_t byte) {
        if (request.empty() && byte != STX) return;  // the PC's ACK or NAK of the last answer
        request.push_back(byte);
        if (request.size() < 3 || request.size() < static_cast<std::size_t>(request[2]) + 2u) return;
        Answer();
        request.clear();
    }
    void Answer() {
        const std::uint16_t value = static_cast<std::uint16_t>(value_.load() + 1) & 0x7FFF;
        value_ = value;
        std::uint8_t answer[6] = {STX, kStation, 5, static_cast<std::uint8_t>(value >> 8),
                                  static_cast<std::uint8_t>(value & 0xFF), 0};
        answer[5] = TelegramChecksum(answer, 5);
        if (::write(master_, answer, sizeof answer) != sizeof answer) stop_ = true;
    }

    int master_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint16_t> value_{0};
    std::thread thread_;
};
#endif

// Where the time above the floor goes, from the link's trace: how far the drain overran its
// 101 ms, how long the six one-byte writes took, how long the first reply byte took after RTS.
struct Phases {
    using Moment = std::chrono::steady_clock::time_point;
    Moment start, firstSent, rtsOn, firstReply, replySent;
    bool sawReply = false;
    std::vector<double> drainOverrun, sending, replyLatency, restOverrun, finishing;

    void Install() {
        LinkTrace trace;
        trace.sent = [this](const std::uint8_t*, std::size_t) {
            const Moment now = std::chrono::steady_clock::now();
            if (firstSent == Moment{}) firstSent = now;
            if (!sawReply) return;
            replySent = now;
            restOverrun.push_back(Ms(now - firstReply) - 3000.0 * 1000.0 / 95000.0);
        };
        trace.rts = [this](bool on) {
            if (on) rtsOn = std::chrono::steady_clock::now();
        };
        trace.received = [this](const std::uint8_t*, std::size_t) {
            if (sawReply || rtsOn == Moment{}) return;
            sawReply = true;
            firstReply = std::chrono::steady_clock::now();
            drainOverrun.push_back(Ms(firstSent - start) - 101.0);
            sending.push_back(Ms(rtsOn - firstSent));
            replyLatency.push_back(Ms(std::chrono::steady_clock::now() - rtsOn));
        };
        SetLinkTrace(trace);
    }
    void End(Moment end) {
        if (replySent != Moment{}) finishing.push_back(Ms(end - replySent));
    }
    void Begin() {
        start = std::chrono::steady_clock::now();
        firstSent = rtsOn = firstReply = replySent = Moment{};
        sawReply = false;
    }
    static double Ms(std::chrono::steady_clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    }
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}


struct Arguments {
    int exchanges = 100;
    unsigned port = 0;  // 0: a station of our own on a pseudo-terminal
    std::string portsFolder = "ports";
    std::uint8_t address = 1;
};

Arguments Parse(int argc, char** argv) {
    Arguments a;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port" && i + 1 < argc) a.port = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (arg == "--ports" && i + 1 < argc) a.portsFolder = argv[++i];
        else if (arg == "--address" && i + 1 < argc) a.address = static_cast<std::uint8_t>(std::atoi(argv[++i]));
        else a.exchanges = std::max(1, std::atoi(argv[i]));
    }
    return a;
}

struct Figures {
    std::vector<double> overheadMs;
    Phases phases;
    double cpuTotal = 0;
    int failed = 0;
};

// The exchanges themselves; `expected` tells the value the station should have reported, where
// it is known.
void Measure(int exchanges, Figures& f, const std::function<bool(std::uint16_t)>& expected) {
    f.phases.Install();
    for (int i = 0; i < exchanges; ++i) {
        const double cpuBefore = CpuSeconds();
        f.phases.Begin();
        const auto start = f.phases.start;
        const std::int16_t value = ReadMWert();
        const auto end = std::chrono::steady_clock::now();
        f.phases.End(end);
        f.cpuTotal += CpuSeconds() - cpuBefore;
        if (SioErgebnis != 1 || !expected(static_cast<std::uint16_t>(value))) ++f.failed;
        f.overheadMs.push_back(std::chrono::duration<double, std::milli>(end - start).count() - kFloorMs);
    }
    SetLinkTrace({});
}

void Report(int exchanges, const Figures& f) {
    const auto& overheadMs = f.overheadMs;
    const auto& phases = f.phases;
    const double cpuTotal = f.cpuTotal;
    const int failed = f.failed;
    std::printf("exchanges            %d (%d failed)\n", exchanges, failed);
    std::printf("floor                %.1f ms (drain 101 ms + pause 31.6 ms)\n", kFloorMs);
    std::printf("overhead median      %.3f ms   (goal <= 1 ms)\n", Percentile(overheadMs, 0.5));
    std::printf("overhead p99         %.3f ms   (goal <= 3 ms)\n", Percentile(overheadMs, 0.99));
    std::printf("overhead max         %.3f ms\n", Percentile(overheadMs, 1.0));
    if (!phases.drainOverrun.empty()) {
        std::printf("  drain overrun      median %.3f ms, p99 %.3f ms\n", Percentile(phases.drainOverrun, 0.5),
                    Percentile(phases.drainOverrun, 0.99));
        std::printf("  sending 6 bytes    median %.3f ms, p99 %.3f ms\n", Percentile(phases.sending, 0.5),
                    Percentile(phases.sending, 0.99));
        std::printf("  first reply byte   median %.3f ms, p99 %.3f ms\n", Percentile(phases.replyLatency, 0.5),
                    Percentile(phases.replyLatency, 0.99));
        std::printf("  rest + pause       median %.3f ms, p99 %.3f ms above 31.6 ms\n",
                    Percentile(phases.restOverrun, 0.5), Percentile(phases.restOverrun, 0.99));
        std::printf("  ACK and return     median %.3f ms, p99 %.3f ms\n", Percentile(phases.finishing, 0.5),
                    Percentile(phases.finishing, 0.99));
    }
    std::printf("CPU per exchange     %.2f ms   (the 31.6 ms pause sleeps but for its last 1 ms)\n",
                cpuTotal * 1000.0 / exchanges);

}

}  // namespace

int main(int argc, char** argv) {
    const Arguments args = Parse(argc, argv);
    Figures figures;
    if (args.port != 0) {
        // A station behind a port: qtvsim answers after its reply delay, which lies above the floor.
        SetPortsFolder(args.portsFolder);
        if (!InitSio(static_cast<std::uint8_t>(args.port))) {
            std::fprintf(stderr, "COM%u could not be opened\n", args.port);
            return 1;
        }
        BusAdresse = args.address;
        Internet = 0;
        Measure(args.exchanges, figures, [](std::uint16_t) { return true; });
        ReSetSio();
        std::printf("station              COM%u, address %u\n", args.port, unsigned{args.address});
        Report(args.exchanges, figures);
        return figures.failed == 0 ? 0 : 2;
    }
#ifdef _WIN32
    std::fprintf(stderr, "on Windows the station is behind a port: bench_exchange --port N\n");
    return 1;
#else
    int master = -1, slave = -1;
    char slaveName[256] = {};
    if (::openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    char folder[] = "/tmp/tarvo-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::symlink(slaveName, (std::string(folder) + "/COM7").c_str()) != 0) {
        std::perror("ports folder");
        return 1;
    }
    SetPortsFolder(folder);
    if (!InitSio(7)) {
        std::fprintf(stderr, "COM7 (%s) could not be opened\n", slaveName);
        return 1;
    }
    BusAdresse = kStation;
    Internet = 0;
    {
        AnsweringStation station(master);
        Measure(args.exchanges, figures, [&station](std::uint16_t value) { return value == station.lastValue(); });
    }
    ReSetSio();
    Report(args.exchanges, figures);

    ::close(master);
    ::close(slave);
    std::system((std::string("rm -rf ") + folder).c_str());
    return figures.failed == 0 ? 0 : 2;
#endif
}
