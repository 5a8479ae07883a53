#include "sim/ServeLoop.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

namespace {

const auto kStart = std::chrono::steady_clock::now();
constexpr int kHousekeepingMs = 100;

int PollTimeoutMs(const Bus& bus) {
    const auto due = bus.nextDueMs();
    if (!due) return kHousekeepingMs;
    const double wait = *due - Now().ms;
    return wait <= 0 ? 0 : static_cast<int>(std::min<double>(std::ceil(wait), kHousekeepingMs));
}

}  // namespace

Moment Now() {
    const auto elapsed = std::chrono::steady_clock::now() - kStart;
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return Moment{std::chrono::duration<double, std::milli>(elapsed).count(),
                  static_cast<std::int64_t>(t) + local.tm_gmtoff};
}

void Serve(Bus& bus, Attachment& attachment, ControlSocket* control, const volatile std::sig_atomic_t* stop) {
    std::vector<pollfd> fds;
    double lastHousekeeping = -kHousekeepingMs;
    while (!*stop) {
        fds.clear();
        attachment.addPollFds(fds);
        if (control) control->addPollFds(fds);
        const int ready = poll(fds.data(), fds.size(), PollTimeoutMs(bus));
        if (ready > 0) {
            const std::vector<std::uint8_t> bytes = attachment.service(fds);
            if (!bytes.empty()) bus.receive(bytes.data(), bytes.size(), Now());
            if (control) control->service(fds);
        }
        const Moment now = Now();
        attachment.send(bus.takeDue(now.ms));
        if (now.ms - lastHousekeeping >= kHousekeepingMs) {
            attachment.housekeeping();
            lastHousekeeping = now.ms;
        }
    }
}
