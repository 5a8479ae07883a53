#pragma once
// How long the window takes to answer input, seen from outside its thread. A probe thread sends
// at random moments (every 10 to 30 ms) two things and notes when each was sent:
//   - a key press, as the X server delivers one to the window (a KeyPress event sent to its X
//     window on a connection of its own). It takes the road of a real key press: the toolkit's
//     reader, the window-system queue that a busy or input-blocking loop holds back, the
//     application. It is answered when it reaches the application's event filter.
//   - a posted event to an object of the user-interface thread, answered when delivered. This
//     one passes an event loop that holds input back, so it shows the bare event-loop delay.
// Without an X display (offscreen) only the posted events are sent.
// Each probe carries its serial number (the key press in its time field), so a late or
// reordered answer is still matched with its own sending moment.

#include <QObject>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class InputProbe : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    // window: the X window of the main form, 0 when there is no X display.
    explicit InputProbe(unsigned long window);
    ~InputProbe() override;

    void start();
    void stop();  // no more probes are sent; answers still come in

    // Probes sent in [from, to] and answered, their latencies in ms; `unanswered` those not yet.
    struct Figures {
        std::vector<double> keyMs, postedMs;
        int keyUnanswered = 0, postedUnanswered = 0;
    };
    Figures figures(Clock::time_point from, Clock::time_point to) const;
    bool allAnswered() const;
    bool sendsKeys() const { return window_ != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Probe {
        Clock::time_point sent;
        Clock::time_point answered;  // epoch: not yet
    };
    void run();
    void answer(std::vector<Probe>& probes, std::uint32_t serial);

    unsigned long window_;
    std::atomic<bool> running_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Probe> keys_, posted_;
};
