// bench_pause: how precisely a wait on the high-resolution counter ends when it sleeps until a
// margin before its deadline and reads the counter only for the rest, and what it costs, for a
// row of margins. The pause is the exchange's longest one: 3000 units of 1/95000 s (31.6 ms).
// The margin in use (kCounterSpinMargin, platform/Clock.h) was chosen from these figures: the
// smallest margin whose lateness stays at the pure busy wait's under load.
//
//   bench_pause [PAUSES]      (per margin, default 100: about 30 s in all)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/Clock.h"

namespace {

double ThreadCpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double Quantile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5))];
}

}  // namespace

int main(int argc, char** argv) {
    const int pauses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const HiResCounter& counter = Counter();
    const std::uint64_t ticks = 3000 * (counter.frequency() / 95000);
    struct Candidate {
        const char* name;
        std::chrono::nanoseconds margin;
    };
    const Candidate candidates[] = {
        {"busy wait (no sleep)", std::chrono::milliseconds(1000)},
        {"5 ms", std::chrono::milliseconds(5)},
        {"3 ms", std::chrono::milliseconds(3)},
        {"2 ms", std::chrono::milliseconds(2)},
        {"1 ms", std::chrono::milliseconds(1)},
        {"0.5 ms", std::chrono::microseconds(500)},
        {"0.2 ms", std::chrono::microseconds(200)},
        {"0 (sleep only)", std::chrono::nanoseconds(0)},
    };
    std::printf("%d pauses of 3000 units (31.579 ms) per margin; lateness of the end in microseconds\n", pauses);
    std::printf("%-22s %9s %9s %9s %9s   %s\n", "margin", "median", "p90", "p99", "worst", "CPU per pause");
    for (const Candidate& c : candidates) {
        std::vector<double> lateUs;
        const double cpuBefore = ThreadCpuMs();
        for (int i = 0; i < pauses; ++i) {
            const std::uint64_t target = counter.now() + ticks;
            WaitForCounter(target, c.margin);
            const std::uint64_t end = counter.now();
            lateUs.push_back(static_cast<double>(end - target) * 1e6 / static_cast<double>(counter.frequency()));
        }
        const double cpuMs = (ThreadCpuMs() - cpuBefore) / pauses;
        std::printf("%-22s %9.1f %9.1f %9.1f %9.1f   %6.2f ms%s\n", c.name, Quantile(lateUs, 0.5),
                    Quantile(lateUs, 0.9), Quantile(lateUs, 0.99), Quantile(lateUs, 1.0), cpuMs,
                    c.margin == kCounterSpinMargin ? "   <- in use" : "");
    }
    return 0;
}
