// The command-set port after its adapter was unplugged: reopened by the exchanges themselves,
// on the port last given to InitSio, never more often than once a second, never while healthy.
#include "support/LinkFixture.h"
#include "link/PortOpen.h"

namespace {

// A reading request (ReadMWert's L and code) whose answer comes from station 5.
constexpr std::uint8_t kReadValue = 0x31;
const char* const kValueAnswer = "02 05 05 0A 0B 21";

class AdapterRecovery : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        // Every line the link opens from now on answers one request.
        lines.setPrepare([](FakeLine& line) { line.queueReply(Hex(kValueAnswer)); });
        ASSERT_TRUE(InitSio(7));
    }
    int exchange() {
        request(kReadValue);
        return SioExchange();
    }
    // Unplugs the adapter and lets an exchange notice it.
    void unplug() {
        lines.last().setDeviceGone();
        ASSERT_EQ(exchange(), 0) << "the exchange that meets the lost device fails";
    }
    std::size_t linesOpened() const { return lines.count(); }

    // Lines made by SetUp: the fixture's InitSio(1) and ours on port 7.
    static constexpr std::size_t kLinesAtStart = 2;
};

TEST_F(AdapterRecovery, firstExchangeASecondAfterTheLossReopensAndSucceeds) {
    unplug();
    clock.advanceMs(1000);
    EXPECT_EQ(exchange(), 1);
    ASSERT_EQ(linesOpened(), kLinesAtStart + 1);
    EXPECT_EQ(lines.last().openedPort(), 7u);
    EXPECT_EQ(lines.last().timeouts().readTotalConstant, kCommandSetTimeouts.readTotalConstant);
    EXPECT_FALSE(lines.line(kLinesAtStart - 1).isOpen()) << "the lost line's handle is released";
}

TEST_F(AdapterRecovery, exchangesWithinASecondOfTheLossFailWithoutReopening) {
    unplug();
    for (int i = 0; i < 5; ++i) {
        clock.advanceMs(180);
        EXPECT_EQ(exchange(), 0);
    }
    EXPECT_EQ(linesOpened(), kLinesAtStart);
}

TEST_F(AdapterRecovery, failedReopenIsRetriedOnlyASecondLater) {
    lines.setPrepare([](FakeLine& line) { line.failOpen(); });
    unplug();
    clock.advanceMs(1000);
    EXPECT_EQ(exchange(), 0);
    EXPECT_EQ(linesOpened(), kLinesAtStart + 1);
    clock.advanceMs(900);
    EXPECT_EQ(exchange(), 0);
    EXPECT_EQ(exchange(), 0);
    EXPECT_EQ(linesOpened(), kLinesAtStart + 1) << "no second attempt within a second of the first";

    lines.setPrepare([](FakeLine& line) { line.queueReply(Hex(kValueAnswer)); });
    clock.advanceMs(200);
    EXPECT_EQ(exchange(), 1);
    EXPECT_EQ(linesOpened(), kLinesAtStart + 2);
}

TEST_F(AdapterRecovery, recoveredPortIsNotReopenedAgain) {
    unplug();
    clock.advanceMs(1000);
    ASSERT_EQ(exchange(), 1);
    clock.advanceMs(60000);
    EXPECT_EQ(exchange(), 0) << "the new line answered only once; a silent station is no loss";
    EXPECT_EQ(linesOpened(), kLinesAtStart + 1);
}

TEST_F(AdapterRecovery, healthyLineIsNeverReopenedEvenWhenStationsFail) {
    for (int i = 0; i < 6; ++i) {
        clock.advanceMs(10000);
        exchange();  // the first answers, the rest meet a silent station
    }
    EXPECT_EQ(linesOpened(), kLinesAtStart);
}

TEST_F(AdapterRecovery, reopensOnThePortLastGivenToInitSio) {
    ASSERT_TRUE(InitSio(12));
    unplug();
    clock.advanceMs(1000);
    EXPECT_EQ(exchange(), 1);
    EXPECT_EQ(lines.last().openedPort(), 12u);
}

TEST_F(AdapterRecovery, portClosedByReSetSioIsNotReopened) {
    unplug();
    ReSetSio();
    clock.advanceMs(20000);
    EXPECT_EQ(exchange(), 0);
    EXPECT_EQ(linesOpened(), kLinesAtStart);
}

TEST_F(AdapterRecovery, lossNoticedByAFailingReadIsRecoveredToo) {
    // The device goes away in the middle of the exchange: it was there when it began.
    FakeLine& line = lines.last();
    line.onEvent = [&line](const LineEvent& e) {
        if (e.kind == LineEvent::Write) line.setDeviceGone();
    };
    EXPECT_EQ(exchange(), 0);
    line.onEvent = nullptr;
    clock.advanceMs(1000);
    EXPECT_EQ(exchange(), 1);
}

}  // namespace

namespace {

class AdapterMissingAtStart : public LinkTest {};

TEST_F(AdapterMissingAtStart, portThatCouldNotBeOpenedIsTriedAgainEverySecond) {
    lines.setPrepare([](FakeLine& line) { line.failOpen(); });
    ASSERT_FALSE(InitSio(7));
    const std::size_t afterStart = lines.count();
    request(kReadValue);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(lines.count(), afterStart) << "no attempt within a second of the start";

    lines.setPrepare([](FakeLine& line) { line.queueReply(Hex(kValueAnswer)); });  // plugged in
    clock.advanceMs(1000);
    request(kReadValue);
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_EQ(lines.last().openedPort(), 7u);
}

// Between exchanges too (the main window's ticks), by the same rule; an open port is left be.
TEST_F(AdapterMissingAtStart, portIsTriedAgainEverySecondWithoutAnyExchange) {
    lines.setPrepare([](FakeLine& line) { line.failOpen(); });
    ASSERT_FALSE(InitSio(7));
    const std::size_t afterStart = lines.count();
    lines.setPrepare({});  // the other program lets go of the port
    clock.advanceMs(900);
    RetryCommandSetPort();
    EXPECT_EQ(lines.count(), afterStart) << "not within a second of the last attempt";
    clock.advanceMs(200);
    RetryCommandSetPort();
    EXPECT_TRUE(lines.last().isOpen());
    clock.advanceMs(60000);
    RetryCommandSetPort();
    EXPECT_EQ(lines.count(), afterStart + 1);
}

TEST_F(AdapterMissingAtStart, portThatRefusedItsSettingsIsNotReopened) {
    lines.setPrepare([](FakeLine& line) { line.failConfigure(); });
    ASSERT_FALSE(InitSio(7));
    const std::size_t afterStart = lines.count();
    clock.advanceMs(6000);
    request(kReadValue);
    SioExchange();
    EXPECT_EQ(lines.count(), afterStart) << "the port is open; its exchanges go on as they are";
}

TEST_F(AdapterMissingAtStart, com0IsNeverTriedAgain) {
    lines.setPrepare([](FakeLine& line) { line.failOpen(); });  // as the serial device does for COM0
    ASSERT_FALSE(InitSio(0));
    const std::size_t afterStart = lines.count();
    clock.advanceMs(6000);
    request(kReadValue);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(lines.count(), afterStart);
}

}  // namespace
