#include "WatchedBus.h"

#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "platform/Clock.h"
#include "sim/BusFile.h"

namespace {

// "R 06", "W 02 01 ...": built from the tag on (GCC 12 takes "R" + text for an overlapping copy).
std::string Entry(const char* tag, const std::uint8_t* bytes, std::size_t n) {
    std::string text = tag;
    char two[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(two, sizeof two, " %02X", bytes[i]);
        text += two;
    }
    return text;
}

class WatchedLine : public SerialLine {
public:
    WatchedLine(WatchedBus& bus, std::unique_ptr<SerialLine> inner) : bus_(bus), inner_(std::move(inner)) {}

    bool open(unsigned portNumber) override { return inner_->open(portNumber); }
    bool configure() override { return inner_->configure(); }
    void setTimeouts(const SerialTimeouts& timeouts) override {
        const WatchedBus::Use use(bus_);
        inner_->setTimeouts(timeouts);
    }
    long read(std::uint8_t* buffer, std::size_t n) override {
        const WatchedBus::Use use(bus_);
        const long got = inner_->read(buffer, n);
        bus_.record(Entry("R", buffer, got > 0 ? static_cast<std::size_t>(got) : 0));
        return got;
    }
    bool write(const std::uint8_t* buffer, std::size_t n) override {
        const WatchedBus::Use use(bus_);
        bus_.record(Entry("W", buffer, n));
        return inner_->write(buffer, n);
    }
    void setRts(bool on) override {
        {
            const WatchedBus::Use use(bus_);
            bus_.record(on ? "RTS 1" : "RTS 0");
            inner_->setRts(on);
        }
        if (on) bus_.requestSent();
    }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }

private:
    WatchedBus& bus_;
    std::unique_ptr<SerialLine> inner_;
};

}  // namespace

WatchedBus::WatchedBus(const std::string& busFile) {
    BusConfig config;
    const std::string error = ParseBusFile(busFile, config);
    if (!error.empty()) throw std::invalid_argument(error);
    sim_ = std::make_shared<SimBusState>(config);
    SetSerialLineFactory([this] { return std::make_unique<WatchedLine>(*this, std::make_unique<SimLine>(sim_)); });
    counter_.setStepMs(1);
}

WatchedBus::~WatchedBus() {
    release();
    SetSerialLineFactory({});
}

WatchedBus::Use::Use(WatchedBus& b) : bus(b) {
    const std::lock_guard<std::mutex> lock(bus.mutex_);
    if (++bus.inUse_ > 1) ++bus.overlaps_;
    if (bus.watching_) bus.threads_.insert(std::this_thread::get_id());
}

WatchedBus::Use::~Use() {
    const std::lock_guard<std::mutex> lock(bus.mutex_);
    --bus.inUse_;
}

void WatchedBus::record(std::string entry) {
    const std::lock_guard<std::mutex> lock(mutex_);
    wire_.push_back(std::move(entry));
}

void WatchedBus::requestSent() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (requestsToHold_ == 0 || --requestsToHold_ > 0) return;
    holding_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !holding_; });
}

void WatchedBus::holdAtRequest(int k) {
    const std::lock_guard<std::mutex> lock(mutex_);
    requestsToHold_ = k;
}

bool WatchedBus::held() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return holding_;
}

void WatchedBus::release() {
    const std::lock_guard<std::mutex> lock(mutex_);
    holding_ = false;
    changed_.notify_all();
}

void WatchedBus::watchThreads() {
    const std::lock_guard<std::mutex> lock(mutex_);
    watching_ = true;
    threads_.clear();
}

std::set<std::thread::id> WatchedBus::threads() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return threads_;
}

int WatchedBus::overlaps() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return overlaps_;
}

std::vector<std::string> WatchedBus::wire() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return wire_;
}

// A request is the first write after the line was last read (in local mode the PC sends it one
// byte at a time; its ACK or NAK is a write of its own after a read).
std::vector<std::string> WatchedBus::requests() const {
    std::vector<std::string> out;
    std::string frame;
    const auto flush = [&] {
        // " 02 AA LL CC ...": address at 4, code at 10.
        if (frame.size() >= 12 && frame.compare(0, 3, " 02") == 0) out.push_back(frame.substr(4, 2) + ":" + frame.substr(10, 2));
        frame.clear();
    };
    for (const std::string& entry : wire()) {
        if (entry[0] == 'W') frame += entry.substr(1);
        else if (entry[0] == 'R' || entry == "RTS 1") flush();
    }
    flush();
    return out;
}

Station& WatchedBus::station(std::uint8_t address) {
    Station* s = sim_->bus.station(address);
    if (!s) throw std::out_of_range("no station " + std::to_string(address));
    return *s;
}
