// The port object: its open and close, its own exchange, and the recovery after failed sends.
#include "support/LinkFixture.h"

#include <cstring>
#include <string>
#include <vector>

#include "link/SioPort.h"

namespace {

using Kind = LineEvent::Kind;

class PortObject : public ::testing::Test {
protected:
    void SetUp() override {
        Internet = 1;
        Negativ = true;
        SendeReserve = -5;
    }
    // A reading request of the humidity dialog: L = 4, code 0x42, to station 9.
    static bool ask(SioPort& port) {
        port.Buffer[2] = 4;
        return port.Command(0x42, 9);
    }

    LinkReset linkReset;
    FakeLineFactory lines;
    FakeCounter clock;
};

TEST_F(PortObject, creationOpensWithItsOwnTimeoutsAndFillsTheReserve) {
    SioPort port(7);
    EXPECT_EQ(SioPortNr, 7);
    EXPECT_EQ(SendeReserve, 20);
    ASSERT_EQ(lines.count(), 1u);
    EXPECT_EQ(lines.last().openedPort(), 7u);
    EXPECT_EQ(lines.last().timeouts().readTotalConstant, 80u);
    EXPECT_EQ(lines.last().timeouts().readInterval, 40u);
    EXPECT_EQ(lines.last().timeouts().writeTotalConstant, 40u);
}

TEST_F(PortObject, destructionClosesThePort) {
    { SioPort port(3); }
    EXPECT_FALSE(lines.last().isOpen());
    EXPECT_EQ(lines.last().eventsOf(Kind::Close).size(), 1u);
}

TEST_F(PortObject, numberFrom100OpensNothingAndItsExchangesFail) {
    SioPort port(100);
    EXPECT_EQ(lines.count(), 0u);
    EXPECT_EQ(SioPortNr, 100);
    EXPECT_FALSE(ask(port));
    EXPECT_EQ(SendeReserve, 19);
}

TEST_F(PortObject, commandSendsTheCallersAddressAndCode) {
    SioPort port(3);
    lines.last().queueReply(Hex("02 09 05 01 F4 05"));
    EXPECT_TRUE(ask(port));
    EXPECT_EQ(HexOf(lines.last().writes().front()), "02 09 04 42 51");
    EXPECT_EQ(HexOf(Bytes(port.Buffer + SioPort::kAnswer, port.Buffer + SioPort::kAnswer + 6)),
              "06 09 05 01 F4 05");
    EXPECT_TRUE(Negativ) << "the port object leaves Negativ alone";
}

TEST_F(PortObject, broadcastOverwritesTheAddress) {
    SioPort port(3);
    Broadcast = true;
    EXPECT_TRUE(ask(port));
    EXPECT_EQ(HexOf(lines.last().writes().front()), "02 20 04 42 68");
    Broadcast = false;
}

TEST_F(PortObject, silentStationIsGivenUpAfter25Reads) {
    SioPort port(3);
    EXPECT_FALSE(ask(port));
    EXPECT_EQ(lines.last().emptyReadCount(), 1 + 25);
}

TEST_F(PortObject, replyOnThe25thReadCounts) {
    SioPort port(3);
    lines.last().queueReply(Hex("06"), 24);
    EXPECT_TRUE(ask(port));
}

TEST_F(PortObject, answerLongerThanItsSmallerAnswerAreaIsRefused) {
    SioPort port(3);
    Bytes answer = Hex("02 09 0E 01 02 03 04 05 06 07 08 09 0A 0B");
    answer.push_back(TelegramChecksum(answer.data(), answer.size()));
    lines.last().queueReply(answer);
    EXPECT_FALSE(ask(port)) << "14 bytes of answer area hold L up to 13";
    EXPECT_EQ(HexOf(lines.last().writes().back()), "15");
}

TEST_F(PortObject, answerFromAnotherStationIsRecorded) {
    std::memset(FremdAntworten, 0, sizeof FremdAntworten);
    SioPort port(3);
    lines.last().queueReply(Hex("02 0B 05 01 F4 07"));
    EXPECT_FALSE(ask(port));
    EXPECT_EQ(FremdAntworten[11][1], 0x0B);
}

// --- Recovery after failed sends ------------------------------------------------------------------

class Recovery : public PortObject {
protected:
    void SetUp() override {
        PortObject::SetUp();
        lines.setPrepare([this](FakeLine& line) {
            line.failAllWrites();
            line.onEvent = [this](const LineEvent& e) {
                if (e.kind == Kind::Close) steps.push_back("close");
                if (e.kind == Kind::Open) steps.push_back("open " + std::to_string(e.port));
            };
        });
        SetLinkHooks({[this] { steps.push_back("stop"); }, [this] { steps.push_back("restart"); },
                      [this](bool internet) { steps.push_back(internet ? "net 1" : "net 0"); }});
    }
    std::vector<std::string> steps;
};

TEST_F(Recovery, twentyFailedSendsPassAloneAndThe21stRepairs) {
    SioPort port(5);
    steps.clear();
    for (int i = 1; i <= 20; ++i) {
        EXPECT_FALSE(ask(port));
        EXPECT_EQ(SendeReserve, 20 - i);
    }
    EXPECT_TRUE(steps.empty());
    EXPECT_FALSE(ask(port));
    EXPECT_EQ(steps, (std::vector<std::string>{"stop", "close", "net 1", "open 5", "restart"}));
    EXPECT_EQ(SendeReserve, 20);
    EXPECT_EQ(lines.count(), 2u) << "reopened on a new line";
}

TEST_F(Recovery, localPortIsReopenedWithoutTheNetworkLink) {
    Internet = 0;
    SioPort port(2);
    steps.clear();
    for (int i = 0; i < 21; ++i) ask(port);
    EXPECT_EQ(steps, (std::vector<std::string>{"stop", "close", "open 2", "restart"}));
}

TEST_F(Recovery, networkLinkIsSetUpWithTheCurrentInternetSetting) {
    Internet = 0;
    SioPort port(4);
    steps.clear();
    for (int i = 0; i < 21; ++i) ask(port);
    EXPECT_EQ(steps.at(2), "net 0");
}

TEST_F(Recovery, countsAgainFromTwentyAfterARepair) {
    SioPort port(5);
    for (int i = 0; i < 21; ++i) ask(port);
    steps.clear();
    for (int i = 0; i < 20; ++i) ask(port);
    EXPECT_TRUE(steps.empty());
    ask(port);
    EXPECT_EQ(steps.front(), "stop");
}

TEST_F(Recovery, withoutHooksTheRepairStillReopens) {
    SetLinkHooks({});
    SioPort port(5);
    for (int i = 0; i < 21; ++i) ask(port);
    EXPECT_EQ(lines.count(), 2u);
    EXPECT_EQ(SendeReserve, 20);
}

}  // namespace

// --- On the number the command-set port holds ------------------------------------------------------

namespace {

class SharedPort : public PortObject {
protected:
    void SetUp() override {
        PortObject::SetUp();
        ASSERT_TRUE(InitSio(1));
        commandSet().clearEvents();
    }
    FakeLine& commandSet() { return lines.line(0); }
    static void request(std::uint8_t code) {
        TeleBuffer[2] = 4;
        TeleBuffer[3] = code;
    }
    std::vector<unsigned> readTotals() {
        std::vector<unsigned> totals;
        for (const LineEvent& e : commandSet().eventsOf(Kind::SetTimeouts))
            totals.push_back(e.timeouts.readTotalConstant);
        return totals;
    }
};

TEST_F(SharedPort, exchangesOnTheCommandSetLineWithItsOwnRulesAndTimeouts) {
    SioPort port(1);
    EXPECT_TRUE(port.SharesCommandSetPort());
    EXPECT_EQ(lines.count(), 1u) << "no second open of the exclusive port";
    commandSet().queueReply(Hex("02 09 05 00 02 12"));
    TeleBuffer[kAnswer + 3] = 0xEE;
    EXPECT_TRUE(ask(port));
    EXPECT_EQ(HexOf(commandSet().writes().front()), "02 09 04 42 51");
    EXPECT_EQ(port.Buffer[SioPort::kAnswer + 4], 0x02) << "the answer lands in its own buffer";
    EXPECT_EQ(TeleBuffer[kAnswer + 3], 0xEE) << "TeleBuffer is the command-set port's";
    EXPECT_TRUE(Negativ);
    EXPECT_EQ(readTotals(), (std::vector<unsigned>{80, 100})) << "its time-outs, then the port's again";
    commandSet().clearEvents();
    EXPECT_FALSE(ask(port));
    EXPECT_EQ(commandSet().emptyReadCount(), 1 + 25) << "a silent station: its 25 reads";
}

TEST_F(SharedPort, destroyingItLeavesTheCommandSetPortOpenAndItsSettingsAlone) {
    { SioPort port(1); }
    EXPECT_TRUE(commandSet().isOpen());
    EXPECT_TRUE(commandSet().eventsOf(Kind::Close).empty());
    EXPECT_TRUE(commandSet().eventsOf(Kind::SetTimeouts).empty());
    request(0x31);
    commandSet().queueReply(Hex("06"));
    EXPECT_EQ(SioExchange(), 1) << "polling goes on";
}

}  // namespace
