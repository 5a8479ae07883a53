#include "InputProbe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

#include <xcb/xcb.h>

#include <random>

namespace {

// F13 in the usual keyboard map: no command of the program answers it.
constexpr xcb_keycode_t kProbeKey = 191;

const QEvent::Type kProbeEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

class ProbeEvent : public QEvent {
public:
    explicit ProbeEvent(std::uint32_t serial) : QEvent(kProbeEventType), serial(serial) {}
    std::uint32_t serial;
};

double Ms(InputProbe::Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

InputProbe::InputProbe(unsigned long window) : window_(window) { qApp->installEventFilter(this); }

InputProbe::~InputProbe() {
    stop();
    qApp->removeEventFilter(this);
}

void InputProbe::start() {
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void InputProbe::stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
}

void InputProbe::run() {
    xcb_connection_t* x = window_ ? xcb_connect(nullptr, nullptr) : nullptr;
    if (x && xcb_connection_has_error(x)) {
        xcb_disconnect(x);
        x = nullptr;
    }
    const xcb_window_t root = x ? xcb_setup_roots_iterator(xcb_get_setup(x)).data->root : 0;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pauseUs(10'000, 30'000);
    while (running_) {
        std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
        std::uint32_t keySerial = 0, postedSerial = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (x) {
                keys_.push_back({Clock::now(), {}});
                keySerial = static_cast<std::uint32_t>(keys_.size());
            }
            posted_.push_back({Clock::now(), {}});
            postedSerial = static_cast<std::uint32_t>(posted_.size());
        }
        if (x) {
            xcb_key_press_event_t press{};
            press.response_type = XCB_KEY_PRESS;
            press.detail = kProbeKey;
            press.time = keySerial;
            press.root = root;
            press.event = static_cast<xcb_window_t>(window_);
            press.same_screen = 1;
            xcb_send_event(x, 0, press.event, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&press));
            xcb_flush(x);
        }
        QCoreApplication::postEvent(this, new ProbeEvent(postedSerial));
    }
    if (x) xcb_disconnect(x);
}

void InputProbe::answer(std::vector<Probe>& probes, std::uint32_t serial) {
    const Clock::time_point now = Clock::now();
    const std::lock_guard<std::mutex> lock(mutex_);
    if (serial >= 1 && serial <= probes.size() && probes[serial - 1].answered == Clock::time_point{})
        probes[serial - 1].answered = now;
}

bool InputProbe::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->nativeScanCode() == kProbeKey) {
            if (event->type() == QEvent::KeyPress) answer(keys_, static_cast<std::uint32_t>(key->timestamp()));
            return true;  // the window never sees the probe
        }
    }
    return QObject::eventFilter(watched, event);
}

bool InputProbe::event(QEvent* event) {
    if (event->type() != kProbeEventType) return QObject::event(event);
    answer(posted_, static_cast<ProbeEvent*>(event)->serial);
    return true;
}

InputProbe::Figures InputProbe::figures(Clock::time_point from, Clock::time_point to) const {
    Figures f;
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto collect = [&](const std::vector<Probe>& probes, std::vector<double>& ms, int& unanswered) {
        for (const Probe& p : probes) {
            if (p.sent < from || p.sent > to) continue;
            if (p.answered == Clock::time_point{}) ++unanswered;
            else ms.push_back(Ms(p.answered - p.sent));
        }
    };
    collect(keys_, f.keyMs, f.keyUnanswered);
    collect(posted_, f.postedMs, f.postedUnanswered);
    return f;
}

bool InputProbe::allAnswered() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto* probes : {&keys_, &posted_})
        for (const Probe& p : *probes)
            if (p.answered == Clock::time_point{}) return false;
    return true;
}
