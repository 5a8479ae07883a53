#pragma once
// After an accept that fails for want of resources (no descriptor left: EMFILE, ENFILE; no
// memory), the waiting connection stays in the queue and the listener stays readable: polling it
// again at once would spin at full CPU. The listener then rests, 0.1 s at first, twice as long
// after each failure in a row, at most 1 s; a successful accept ends the rest.

#include <algorithm>
#include <cerrno>
#include <chrono>

class AcceptPause {
public:
    using Clock = std::chrono::steady_clock;

    bool resting() const { return Clock::now() < until_; }
    void failed(int error) {
        if (error == EAGAIN || error == EWOULDBLOCK || error == EINTR || error == ECONNABORTED) return;
        until_ = Clock::now() + pause_;
        pause_ = std::min(pause_ * 2, kLongest);
    }
    void succeeded() { pause_ = kFirst; }

private:
    static constexpr std::chrono::milliseconds kFirst{100};
    static constexpr std::chrono::milliseconds kLongest{1000};
    Clock::time_point until_{};
    std::chrono::milliseconds pause_ = kFirst;
};
