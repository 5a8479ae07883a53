// The bus link against misbehaving stations: every fault a station can produce ends the exchange
// within its bound and with 0, leaves the next exchange with a healthy station unharmed, and is
// over as soon as the fault is; the port's device vanishing and coming back is reached again.
// Under local rules and under network rules, on the simulated line with the counter and the line
// on one virtual time: a bound is measured on the counter, and nothing waits. (One row of each
// against the qtvsim program: LinkFaultsPtyTest.)

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/LinkFaults.h"
#include "sim/Faults.h"
#include "support/FakeCounter.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"

namespace {

struct FaultCase {
    const char* name;
    std::optional<long> argument;
    bool answerArrives;  // the station's answer still comes whole, only slowly
};

// Every fault of the simulator that bears on the exchange.
const FaultCase kFaults[] = {
    {"silent", {}, false},    {"nak", {}, false},     {"badsum", {}, false},  {"foreign", 7, false},
    {"stxsilence", {}, false}, {"longlen", {}, false}, {"garbage", {}, false}, {"trickle", 40, true},
};

std::string FaultCommand(const FaultCase& f) {
    std::string command = f.name;  // piece by piece: GCC 12 at -O3 sees an overlap in the joined form
    if (f.argument) command += ' ' + std::to_string(*f.argument);
    return command;
}

enum class Rules { Local, Network };

class LinkUnderFaults : public ::testing::TestWithParam<Rules> {
protected:
    void SetUp() override {
        sim_.followCounter(counter_);
        Broadcast = false;
        Internet = GetParam() == Rules::Network ? 1 : 0;
        ASSERT_TRUE(InitSio(1));
        ASSERT_EQ(AskValue(kHealthy).result, 1) << "the bus answers before any fault";
    }
    std::uint64_t boundMs() const { return GetParam() == Rules::Local ? kLocalBoundMs : kNetworkBoundMs; }

    LinkReset linkReset_;
    FakeCounter counter_;
    SimulatedBus sim_;
};

TEST_P(LinkUnderFaults, everyStationFaultEndsWithinItsBoundAndHarmsNoOtherExchange) {
    for (const FaultCase& f : kFaults) {
        SCOPED_TRACE(FaultCommand(f));
        ASSERT_EQ(SetFault(sim_.station(kFaulty).faults(), f.name, f.argument), "");
        const Outcome faulty = AskValue(kFaulty);
        EXPECT_LT(faulty.tookMs, boundMs());
        if (!f.answerArrives) {
            EXPECT_EQ(faulty.result, 0);
        }
        const Outcome other = AskValue(kHealthy);
        EXPECT_EQ(other.result, 1) << "the station after the faulty one";
        EXPECT_LT(other.tookMs, boundMs());
        ClearFault(sim_.station(kFaulty).faults(), "all");
        EXPECT_EQ(AskValue(kFaulty).result, 1) << "the fault is over";
    }
}

TEST_P(LinkUnderFaults, deviceThatVanishesIsReachedAgainWhenItComesBack) {
    sim_.setDeviceGone(true);
    const Outcome lost = AskValue(kHealthy);
    EXPECT_EQ(lost.result, 0);
    EXPECT_LT(lost.tookMs, boundMs());
    const Outcome away = AskValue(kHealthy);  // no reopen within the second after the loss
    EXPECT_EQ(away.result, 0);
    EXPECT_LT(away.tookMs, boundMs());
    sim_.setDeviceGone(false);
    const std::uint64_t back = CounterMilliseconds();
    Outcome again{0, 0};
    while (again.result != 1 && CounterMilliseconds() - back < 12'000) {
        again = AskValue(kHealthy);
        EXPECT_LT(again.tookMs, boundMs()) << "while the bus is away";
        if (again.result != 1) counter_.advanceMs(200);  // the polling cycle's pace, roughly
    }
    EXPECT_EQ(again.result, 1) << "no answer within 12 s of the return";
    EXPECT_LT(CounterMilliseconds() - back, 1000 + 2 * boundMs()) << "reopened at the first try after its second";
}

INSTANTIATE_TEST_SUITE_P(Rules, LinkUnderFaults, ::testing::Values(Rules::Local, Rules::Network),
                         [](const auto& info) { return info.param == Rules::Local ? "local" : "network"; });

}  // namespace
