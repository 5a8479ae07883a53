// The bus link against a misbehaving qtvsim: every fault a station can produce ends the exchange
// within its bound and with 0, leaves the next exchange with a healthy station unharmed, and is
// over as soon as the fault is. Run on a pseudo-terminal (local rules) and through the
// redirector's bridge to qtvsim as a network device server (network rules). Then the port's
// device vanishing and coming back (the second before a reopen jumped on the counter), and the
// device server's TCP connection dropped and restored.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

#include "SimProcess.h"
#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "platform/PortPath.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Generous bounds of one failed exchange: local mode waits 5 read time-outs after the drain
// (about 0.6 s), network mode its bounded reply wait (about 1.3 s).
constexpr auto kLocalBound = 1000ms;
constexpr auto kNetworkBound = 1750ms;
constexpr std::uint8_t kFaulty = 2;
constexpr std::uint8_t kHealthy = 1;

struct Outcome {
    int result;
    std::chrono::milliseconds took;
};

Outcome AskValue(std::uint8_t address) {
    BusAdresse = address;
    SioErgebnis = -1;
    const auto start = Clock::now();
    ReadMWert();
    return {SioErgebnis, std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)};
}

struct FaultCase {
    const char* command;  // after "fault 2 "
    bool answerArrives;   // the station's answer still comes whole, only slowly
};

// Every fault of the simulator that bears on the exchange.
const FaultCase kFaults[] = {
    {"silent", false},   {"nak", false},      {"badsum", false},  {"foreign 7", false},
    {"stxsilence", false}, {"longlen", false}, {"garbage", false}, {"trickle 40", true},
};

enum class Attachment { Pty, DeviceServer };

class BusUnderFaults : public ::testing::TestWithParam<Attachment> {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarvo-faults-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "ports");
        SetPortsFolder((dir_ / "ports").string());
        Broadcast = false;
        if (GetParam() == Attachment::Pty) {
            Internet = 0;
            ASSERT_TRUE(sim_.start(SimArgs({"--link", (dir_ / "ports/COM1").string()}), control()));
        } else {
            Internet = 1;
            tcpPort_ = FreeTcpPort();
            ASSERT_TRUE(sim_.start(SimArgs({"--tcp", "127.0.0.1:" + std::to_string(tcpPort_)}), control()));
            ASSERT_EQ(Tool({"addservice", "1", "127.0.0.1", std::to_string(tcpPort_)}), 0);
            bridged_ = true;
        }
        ASSERT_TRUE(InitSio(1));
        ASSERT_EQ(AskValue(kHealthy).result, 1) << "the bus answers before any fault";
    }
    void TearDown() override {
        ReSetSio();
        if (bridged_) Tool({"remservice", "1", "1"});
        sim_.stop();
        SetPortsFolder({});
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    static std::vector<std::string> SimArgs(std::vector<std::string> attach) {
        std::vector<std::string> args{QTVSIM_PATH, "--station", "1:3510:bar", "--station", "2:3520:kWh"};
        args.insert(args.end(), attach.begin(), attach.end());
        return args;
    }
    std::string control() const { return (dir_ / "qtvsim.ctl").string(); }
    int Tool(std::vector<std::string> args) {
        args.insert(args.begin(), CPRMGRCMD_PATH);
        args.push_back("--ports");
        args.push_back((dir_ / "ports").string());
        return RunToEnd(args);
    }
    std::chrono::milliseconds bound() const { return GetParam() == Attachment::Pty ? kLocalBound : kNetworkBound; }
    void restartSimulator() {
        if (GetParam() == Attachment::Pty)
            ASSERT_TRUE(sim_.start(SimArgs({"--link", (dir_ / "ports/COM1").string()}), control()));
        else
            ASSERT_TRUE(sim_.start(SimArgs({"--tcp", "127.0.0.1:" + std::to_string(tcpPort_)}), control()));
    }
    // Asks the healthy station until it answers or `limit` has passed; the time it took.
    std::optional<std::chrono::milliseconds> untilAnswered(std::chrono::milliseconds limit) {
        const auto start = Clock::now();
        while (Clock::now() - start < limit) {
            const Outcome o = AskValue(kHealthy);
            EXPECT_LT(o.took, bound()) << "while the bus is away";
            if (o.result == 1) return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            std::this_thread::sleep_for(200ms);  // the polling cycle's pace, roughly
        }
        return std::nullopt;
    }

    LinkReset linkReset_;
    // The exchanges' own pauses pass for real on the device; the second before a reopen is jumped.
    FakeCounter counter_{FakeCounter::Steady};
    fs::path dir_;
    SimProcess sim_;
    int tcpPort_ = 0;
    bool bridged_ = false;
};

TEST_P(BusUnderFaults, everyStationFaultEndsWithinItsBoundAndHarmsNoOtherExchange) {
    for (const FaultCase& f : kFaults) {
        SCOPED_TRACE(f.command);
        ASSERT_EQ(sim_.control("fault 2 " + std::string(f.command)).rfind("ok", 0), 0u);
        const Outcome faulty = AskValue(kFaulty);
        EXPECT_LT(faulty.took, bound());
        std::cout << "[          ] " << f.command << ": result " << faulty.result << " after " << faulty.took.count()
                  << " ms\n";
        if (!f.answerArrives) {
            EXPECT_EQ(faulty.result, 0);
        }
        const Outcome other = AskValue(kHealthy);
        EXPECT_EQ(other.result, 1) << "the station after the faulty one";
        EXPECT_LT(other.took, bound());
        ASSERT_EQ(sim_.control("clear 2 all").rfind("ok", 0), 0u);
        EXPECT_EQ(AskValue(kFaulty).result, 1) << "the fault is over";
    }
}

TEST_P(BusUnderFaults, deviceThatVanishesIsReachedAgainWhenItComesBack) {
    sim_.kill9();
    const Outcome lost = AskValue(kHealthy);
    EXPECT_EQ(lost.result, 0);
    EXPECT_LT(lost.took, bound());
    restartSimulator();
    counter_.advanceMs(1000);
    const auto recovered = untilAnswered(12s);
    ASSERT_TRUE(recovered.has_value()) << "no answer within 12 s of the return";
    std::cout << "[          ] answered again " << recovered->count() << " ms after the return\n";
}

INSTANTIATE_TEST_SUITE_P(Attachments, BusUnderFaults, ::testing::Values(Attachment::Pty, Attachment::DeviceServer),
                         [](const auto& info) { return info.param == Attachment::Pty ? "pty" : "deviceServer"; });

}  // namespace
