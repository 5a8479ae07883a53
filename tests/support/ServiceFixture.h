#pragma once
// What the service tests stand on: the link state reset around each case (LinkReset), the
// command-set port opened on the in-process simulated bus (local mode, each request byte by
// byte), busy waits that end at once (FakeCounter, a millisecond a reading), and a PC wall clock
// that runs with the bus's virtual time.

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "link/Sio.h"
#include "link/Telegram.h"
#include "platform/Clock.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"

// A line that makes the station ignore (silent) or refuse (NAK) the requests of one command
// code, and only those. It needs network mode, where each request is one write.
class FaultOnCode : public SerialLine {
public:
    FaultOnCode(std::unique_ptr<SerialLine> inner, Faults& faults, std::uint8_t code, bool nak)
        : inner_(std::move(inner)), faults_(faults), code_(code), nak_(nak) {}
    bool open(unsigned n) override { return inner_->open(n); }
    bool configure() override { return inner_->configure(); }
    void setTimeouts(const SerialTimeouts& t) override { inner_->setTimeouts(t); }
    long read(std::uint8_t* b, std::size_t n) override { return inner_->read(b, n); }
    bool write(const std::uint8_t* b, std::size_t n) override {
        if (n >= 4 && b[0] == STX) (nak_ ? faults_.nak : faults_.silent) = b[3] == code_;
        return inner_->write(b, n);
    }
    void setRts(bool on) override { inner_->setRts(on); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }

private:
    std::unique_ptr<SerialLine> inner_;
    Faults& faults_;
    std::uint8_t code_;
    bool nak_;
};

class OverSimBus : public ::testing::Test {
protected:
    void SetUp() override {
        counter_.setStepMs(1);
        ASSERT_TRUE(InitSio(1));
        BusAdresse = 1;
        // The PC's clock: the stations' host time plus pcAheadMs, so the stations start that far behind.
        SetWallClock([this] { return PcNow(); });
        dir_ = std::filesystem::temp_directory_path() /
               ("tarvo-service-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
    }

    // 2026-01-05 12:00:00 local on the stations' clocks at 0 ms of virtual time.
    static constexpr std::int64_t kStationStartMs = 1767614400LL * 1000;

    std::int64_t PcMs() const { return kStationStartMs + static_cast<std::int64_t>(sim.nowMs()) + pcAheadMs; }
    LocalDateTime PcNow() const { return LocalDateTimeAt(PcMs()); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    // A name that is no regular file and whose plain open would block: a FIFO without a writer
    // here, the NUL device on Windows (which has no FIFOs in its folders).
    std::string PipeWithoutWriter(const std::string& name) const {
#ifdef _WIN32
        (void)name;
        return "NUL";
#else
        const std::string path = Path(name);
        EXPECT_EQ(::mkfifo(path.c_str(), 0666), 0);
        return path;
#endif
    }

    // From now on the station ignores (silent) or refuses (NAK) the requests with this code.
    void FaultOn(std::uint8_t station, std::uint8_t code, bool nak) {
        ReSetSio();
        Internet = 1;
        base_ = NewSerialLine();
        SetSerialLineFactory([this, station, code, nak] {
            return std::make_unique<FaultOnCode>(std::move(base_), sim.station(station).faults(), code, nak);
        });
        ASSERT_TRUE(InitSio(1));
    }

private:
    LinkReset linkReset_;  // first in, last out: around everything below
    FakeCounter counter_;

protected:
    std::int64_t pcAheadMs = 0;
    SimulatedBus sim;

private:
    std::unique_ptr<SerialLine> base_;
    std::filesystem::path dir_;
};
