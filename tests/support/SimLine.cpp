#include "support/SimLine.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr std::int64_t kDefaultLocalSeconds = 1767614400;  // 2026-01-05 12:00:00
}

SimBusState::SimBusState(const BusConfig& config) : startLocalSeconds(kDefaultLocalSeconds) {
    Populate(bus, config);
    bus.setLog([this](double ms, const std::string& line) { log.push_back(std::to_string(static_cast<long>(ms)) + " " + line); });
}

Moment SimBusState::moment() const {
    return Moment{nowMs, startLocalSeconds + static_cast<std::int64_t>(nowMs / 1000.0)};
}

void SimBusState::catchUp() {
    if (counter) nowMs = std::max(nowMs, double(counter->now()) / double(FakeCounter::kPerMs));
}

void SimBusState::handOn() const {
    if (counter) counter->advanceToMs(nowMs);
}

bool SimLine::open(unsigned portNumber) {
    open_ = portNumber > 0 && portNumber < 100 && !state_->deviceGone;
    port_ = portNumber;
    return open_;
}

bool SimLine::write(const std::uint8_t* buffer, std::size_t n) {
    if (!open_ || state_->deviceGone) return false;
    state_->catchUp();
    state_->bus.receive(buffer, n, state_->moment());
    return true;
}

void SimLine::collectDue() {
    const auto due = state_->bus.takeDue(state_->nowMs);
    state_->inFlight.insert(state_->inFlight.end(), due.begin(), due.end());
}

bool SimLine::takeOne(std::uint8_t& byte) {
    collectDue();
    if (state_->inFlight.empty()) return false;
    byte = state_->inFlight.front();
    state_->inFlight.pop_front();
    return true;
}

long SimLine::read(std::uint8_t* buffer, std::size_t n) {
    if (!open_ || state_->deviceGone) return -1;
    state_->catchUp();
    const double start = state_->nowMs;
    const double deadline = start + timeouts_.readTotalConstant + double(timeouts_.readTotalMultiplier) * double(n);
    std::size_t got = 0;
    double lastByte = start;
    while (got < n) {
        if (takeOne(buffer[got])) {
            ++got;
            lastByte = state_->nowMs;
            continue;
        }
        const auto next = state_->bus.nextDueMs();
        const bool intervalOver = got > 0 && timeouts_.readInterval > 0 && next && *next - lastByte > timeouts_.readInterval;
        if (!next || *next > deadline || intervalOver) break;
        state_->nowMs = std::max(state_->nowMs, *next);
    }
    if (got == 0) state_->nowMs = std::max(state_->nowMs, deadline);
    state_->handOn();
    return static_cast<long>(got);
}

SimulatedBus::SimulatedBus(const BusConfig& config) : state_(std::make_shared<SimBusState>(config)) {
    SetSerialLineFactory([this] {
        ++lines_;
        return std::make_unique<SimLine>(state_);
    });
}

SimulatedBus::~SimulatedBus() { SetSerialLineFactory({}); }

Station& SimulatedBus::station(std::uint8_t address) {
    Station* s = state_->bus.station(address);
    if (!s) throw std::out_of_range("no station " + std::to_string(address) + " on the simulated bus");
    return *s;
}
