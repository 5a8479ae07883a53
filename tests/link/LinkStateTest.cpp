// ResetLinkState: every piece of the link's module-level state back to how the program starts,
// so that what one case or one run leaves behind reaches no other.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "link/LinkEvents.h"
#include "link/SioPort.h"
#include "support/FakeCounter.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"

namespace {

bool AllZero(const std::uint8_t* bytes, std::size_t n) {
    return std::all_of(bytes, bytes + n, [](std::uint8_t b) { return b == 0; });
}

class LinkState : public ::testing::Test {
protected:
    // Everything the link keeps, set away from its start.
    void Disturb() {
        BusAdresse = 7;
        Broadcast = true;
        Internet = 1;
        Negativ = true;
        SioErgebnis = 1;
        TeleBuffer[3] = 0x31;
        TeleBuffer[kAnswer + 2] = 0x44;
        FremdAntworten[9][0] = 0x02;
        SioPortNr = 12;
        SendeReserve = -3;
        SetLinkHooks({[] {}, [] {}, [](bool) {}});
        SetLinkTrace({[this](const std::uint8_t*, std::size_t) { ++traceCalls; },
                      [this](const std::uint8_t*, std::size_t) { ++traceCalls; }, [this](bool) { ++traceCalls; }});
        const auto opened = [this](std::uint8_t, const std::string&) { ++eventCalls; };
        SetLinkEvents({opened, [this](std::uint8_t) { ++eventCalls; }, [this](std::uint8_t) { ++eventCalls; },
                       opened, [this](const WrittenParameter&) { ++eventCalls; }, [this](const std::string&) { ++eventCalls; }});
    }
    // A request of station 7's value on the command-set port.
    int exchange() {
        Broadcast = false;
        TeleBuffer[2] = 4;
        TeleBuffer[3] = 0x31;
        return SioExchange();
    }

    LinkReset linkReset;
    FakeCounter clock;
    int traceCalls = 0;
    int eventCalls = 0;
};

TEST_F(LinkState, sharedStateBuffersAndPortObjectNumbersGoBackToTheStart) {
    Disturb();
    ResetLinkState();
    EXPECT_EQ(BusAdresse, 0);
    EXPECT_FALSE(Broadcast);
    EXPECT_EQ(Internet, 0);
    EXPECT_FALSE(Negativ);
    EXPECT_EQ(SioErgebnis, 0);
    EXPECT_TRUE(AllZero(TeleBuffer, sizeof TeleBuffer));
    EXPECT_TRUE(AllZero(&FremdAntworten[0][0], sizeof FremdAntworten));
    EXPECT_EQ(SioPortNr, 0);
    EXPECT_EQ(SendeReserve, SioPort::kSendReserve);
}

TEST_F(LinkState, commandSetPortIsClosedAndDropped) {
    FakeLineFactory lines;
    ASSERT_TRUE(InitSio(3));
    ResetLinkState();
    EXPECT_FALSE(lines.last().isOpen());
    EXPECT_EQ(lines.last().eventsOf(LineEvent::Close).size(), 1u);
    EXPECT_EQ(CommandSetLine(), nullptr);
}

TEST_F(LinkState, lostAdapterIsNotOpenedAgainAfterTheReset) {
    FakeLineFactory lines;
    ASSERT_TRUE(InitSio(3));
    lines.last().setDeviceGone();
    EXPECT_EQ(exchange(), 0);
    ResetLinkState();
    FakeLineFactory after;
    clock.advanceMs(60'000);
    EXPECT_EQ(exchange(), 0);
    EXPECT_EQ(after.count(), 0u) << "nothing left to reopen";
}

TEST_F(LinkState, hooksTraceEventListenerAndLineFactoryAreDropped) {
    auto lines = std::make_unique<FakeLineFactory>();
    Disturb();
    ResetLinkState();
    EXPECT_FALSE(GetLinkHooks().stopPolling);
    EXPECT_FALSE(GetLinkHooks().restartPolling);
    EXPECT_FALSE(GetLinkHooks().setupNetLink);
    EXPECT_FALSE(GetLinkEvents().portOpened);
    EXPECT_FALSE(GetLinkEvents().portNotOpened);
    EXPECT_FALSE(GetLinkEvents().portLost);
    EXPECT_FALSE(GetLinkEvents().portReopened);
    EXPECT_FALSE(GetLinkEvents().written);
    NewSerialLine();
    EXPECT_EQ(lines->count(), 0u) << "the platform's lines again, not the fake ones";

    FakeLineFactory fresh([](FakeLine& l) { l.queueReply(Hex("02 07 05 00 2A 38")); });
    ASSERT_TRUE(InitSio(1));
    BusAdresse = 7;
    EXPECT_EQ(exchange(), 1);
    EXPECT_EQ(traceCalls, 0) << "the trace was dropped";
    InitSio(200);  // a port that never opens: a listener would hear of it
    EXPECT_EQ(eventCalls, 0) << "the listener was dropped";
}

// The clocks are platform/'s, not the link's: what a fixture's FakeCounter replaced comes back
// as it was, the steady clock as the real one, so that the waits on it sleep again.
TEST(FakeCounterKit, theCounterItReplacedComesBackTheSteadyClockAsTheRealOne) {
    ASSERT_TRUE(CounterIsRealClock());
    {
        FakeCounter outer;
        outer.advanceMs(7);
        {
            FakeCounter inner;
            EXPECT_FALSE(CounterIsRealClock());
        }
        EXPECT_FALSE(CounterIsRealClock());
        EXPECT_GE(CounterMilliseconds(), 7u) << "the outer one is in use again";
    }
    EXPECT_TRUE(CounterIsRealClock());
}

}  // namespace
