// The bus link against the qtvsim program, whose pauses pass for real, on a pseudo-terminal (local
// rules) and through the redirector's bridge to qtvsim as a network device server (network
// rules): a silent station, and the device vanishing and coming back (the second before a reopen
// jumped on the counter). Every other fault runs under both rules on the simulated line in
// virtual time (LinkFaultsTest).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "support/LinkFaults.h"
#include "sim/SimProcess.h"
#include "platform/PortPath.h"
#include "platform/Process.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

enum class Attachment { Pty, DeviceServer };

class BusUnderFaults : public ::testing::TestWithParam<Attachment> {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tarvo-faults-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "ports");
        SetPortsFolder((dir_ / "ports").string());  // put back by linkReset_
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
        args.push_back("--ports");
        args.push_back((dir_ / "ports").string());
        return RunProcess({CPRMGRCMD_PATH, args, ""});
    }
    std::uint64_t boundMs() const { return GetParam() == Attachment::Pty ? kLocalBoundMs : kNetworkBoundMs; }

    LinkReset linkReset_;
    // The exchanges' own pauses pass for real on the device; the second before a reopen is jumped.
    FakeCounter counter_{FakeCounter::Steady};
    fs::path dir_;
    SimProcess sim_;
    int tcpPort_ = 0;
    bool bridged_ = false;
};

TEST_P(BusUnderFaults, aSilentStationEndsWithinItsBoundAndHarmsNoOtherExchange) {
    ASSERT_EQ(sim_.control("fault 2 silent").rfind("ok", 0), 0u);
    const Outcome faulty = AskValue(kFaulty);
    EXPECT_EQ(faulty.result, 0);
    EXPECT_LT(faulty.tookMs, boundMs());
    std::cout << "[          ] silent: result " << faulty.result << " after " << faulty.tookMs << " ms\n";
    const Outcome other = AskValue(kHealthy);
    EXPECT_EQ(other.result, 1) << "the station after the faulty one";
    EXPECT_LT(other.tookMs, boundMs());
    ASSERT_EQ(sim_.control("clear 2 all").rfind("ok", 0), 0u);
    EXPECT_EQ(AskValue(kFaulty).result, 1) << "the fault is over";
}

// The device really goes and comes back: the simulator killed and started again behind the
// pseudo-terminal's link, or behind the device server's TCP connection, which cprmgrcmd then
// reconnects while the port stays in place.
TEST_P(BusUnderFaults, deviceThatVanishesIsReachedAgainWhenItComesBack) {
    sim_.kill9();
    const Outcome lost = AskValue(kHealthy);
    EXPECT_EQ(lost.result, 0);
    EXPECT_LT(lost.tookMs, boundMs());
    const std::string attach = GetParam() == Attachment::Pty ? "--link" : "--tcp";
    const std::string where =
        GetParam() == Attachment::Pty ? (dir_ / "ports/COM1").string() : "127.0.0.1:" + std::to_string(tcpPort_);
    ASSERT_TRUE(sim_.start(SimArgs({attach, where}), control()));
    counter_.advanceMs(1000);
    const auto start = std::chrono::steady_clock::now();
    Outcome again{0, 0};
    while (again.result != 1 && std::chrono::steady_clock::now() - start < 12s) {
        again = AskValue(kHealthy);
        EXPECT_LT(again.tookMs, boundMs()) << "while the bus is away";
        if (again.result != 1) std::this_thread::sleep_for(200ms);  // the polling cycle's pace, roughly
    }
    ASSERT_EQ(again.result, 1) << "no answer within 12 s of the return";
    std::cout << "[          ] answered again "
              << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()
              << " ms after the return\n";
}

INSTANTIATE_TEST_SUITE_P(Attachments, BusUnderFaults, ::testing::Values(Attachment::Pty, Attachment::DeviceServer),
                         [](const auto& info) { return info.param == Attachment::Pty ? "pty" : "deviceServer"; });

}  // namespace
