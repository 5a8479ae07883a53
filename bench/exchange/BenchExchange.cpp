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

#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/PortPath.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint8_t kStation = 5;
constexpr double kFloorMs = 101.0 + 3000.0 * 1000.0 / 95000.0;

double CpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

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

}  // namespace

int main(int argc, char** argv) {
    const int exchanges = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;

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

    std::vector<double> overheadMs;
    Phases phases;
    double cpuTotal = 0;
    int failed = 0;
    {
        AnsweringStation station(master);
        phases.Install();
        for (int i = 0; i < exchanges; ++i) {
            const double cpuBefore = CpuSeconds();
            phases.Begin();
            const auto start = phases.start;
            const std::int16_t value = ReadMWert();
            const auto end = std::chrono::steady_clock::now();
            phases.End(end);
            cpuTotal += CpuSeconds() - cpuBefore;
            if (SioErgebnis != 1 || static_cast<std::uint16_t>(value) != station.lastValue()) ++failed;
            overheadMs.push_back(std::chrono::duration<double, std::milli>(end - start).count() - kFloorMs);
        }
    }
    SetLinkTrace({});
    ReSetSio();

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

    ::close(master);
    ::close(slave);
    std::system((std::string("rm -rf ") + folder).c_str());
    return failed == 0 ? 0 : 2;
}
