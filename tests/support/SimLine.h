#pragma once
// SimLine: a SerialLine whose far end is a simulated bus (sim/Bus) in the same process, so that
// dialog, main-window and link tests talk to stations that answer like real ones, fast and
// deterministically. Nothing here sleeps: time is virtual.
//
//   SimulatedBus sim;                 // the default bus of four stations; installs the factory
//   InitSio(1);                       // the command-set port is now a SimLine
//   sim.station(2).faults().silent = true;
//   BusAdresse = 2; ReadMWert();      // SioErgebnis 0
//   sim.station(2).record().pcAck     // what the PC answered to the station's last telegram
//
// Virtual time. The PC's writes reach the bus at the current virtual time (a request written
// one byte at a time is whole). A read hands out the reply bytes that are due; when none are,
// it lets virtual time run on to the next reply byte, within the line's read time-outs
// (interval and total, as a Windows COM port), and without any it returns 0 after advancing by
// the total time-out (101 ms for one byte on the command-set port).
//
// The wall clock of the stations' real-time clocks is virtual too: localSeconds() plus the
// virtual time.
//
// One virtual time with the link's counter (followCounter): the line's waits move the FakeCounter
// on, and the link's busy waits on the counter move the line's time, so that a test measures
// how long an exchange took on the counter alone.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/SerialLine.h"
#include "support/FakeCounter.h"
#include "sim/Bus.h"
#include "sim/BusFile.h"

struct SimBusState {
    explicit SimBusState(const BusConfig& config);
    Moment moment() const;

    Bus bus;
    double nowMs = 0;
    std::int64_t startLocalSeconds = 0;
    std::deque<std::uint8_t> inFlight;  // reply bytes due but not yet read
    std::vector<std::string> log;       // the bus's trace lines
    FakeCounter* counter = nullptr;     // the link's counter, on the same virtual time
    bool deviceGone = false;            // as an adapter pulled out: opens fail, lines read -1

    void catchUp();      // the line's time to the counter's
    void handOn() const;  // the counter's time to the line's
};

class SimLine : public SerialLine {
public:
    explicit SimLine(std::shared_ptr<SimBusState> state) : state_(std::move(state)) {}

    bool open(unsigned portNumber) override;
    bool configure() override { return open_; }
    void setTimeouts(const SerialTimeouts& timeouts) override { timeouts_ = timeouts; }
    long read(std::uint8_t* buffer, std::size_t n) override;
    bool write(const std::uint8_t* buffer, std::size_t n) override;
    void setRts(bool) override {}
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool deviceGone() const override { return state_->deviceGone; }

    unsigned openedPort() const { return port_; }

private:
    bool takeOne(std::uint8_t& byte);
    void collectDue();

    std::shared_ptr<SimBusState> state_;
    SerialTimeouts timeouts_{};
    bool open_ = false;
    unsigned port_ = 0;
};

// Installs a SerialLine factory that hands out SimLines on one simulated bus, for its lifetime.
class SimulatedBus {
public:
    explicit SimulatedBus(const BusConfig& config = DefaultBusConfig());
    ~SimulatedBus();
    SimulatedBus(const SimulatedBus&) = delete;
    SimulatedBus& operator=(const SimulatedBus&) = delete;

    Bus& bus() { return state_->bus; }
    // The station at an address; throws std::out_of_range when there is none.
    Station& station(std::uint8_t address);
    double nowMs() const { return state_->nowMs; }
    void advance(double ms) { state_->nowMs += ms; }
    // From here on the line's time and the counter's are one (see above).
    void followCounter(FakeCounter& counter) { state_->counter = &counter; }
    // The device goes (open lines fail, opens fail) or comes back.
    void setDeviceGone(bool gone) { state_->deviceGone = gone; }
    // The moment of 0 ms of virtual time on the stations' clocks (default 2026-01-05 12:00:00, a Monday).
    void setLocalSeconds(std::int64_t localSeconds) { state_->startLocalSeconds = localSeconds; }
    // The bus's trace: requests, replies, skipped bytes and the PC's ACK/NAK, in order.
    const std::vector<std::string>& log() const { return state_->log; }
    // Lines handed out so far (the link may hold several).
    std::size_t lineCount() const { return lines_; }

private:
    std::shared_ptr<SimBusState> state_;
    std::size_t lines_ = 0;
};
