// The command-set exchange on the wire: frames, RTS, drain, replies, time-outs and refusals.
#include "support/LinkFixture.h"

#include <algorithm>

#include "link/PortOpen.h"

namespace {

using Kind = LineEvent::Kind;

int IndexOf(const std::vector<LineEvent>& events, Kind kind, int from = 0) {
    for (int i = from; i < static_cast<int>(events.size()); ++i)
        if (events[i].kind == kind) return i;
    return -1;
}

// --- The request on the wire ----------------------------------------------------------------

class RequestFrame : public LinkTest {};

TEST_F(RequestFrame, networkModeSendsTheFrameInOneWrite) {
    request(0x10);
    line().queueReply(Hex("06"));
    EXPECT_EQ(SioExchange(), 1);
    ASSERT_EQ(line().writes().size(), 1u);
    EXPECT_EQ(HexOf(line().writes()[0]), "02 05 04 10 1B");
}

// One write, so that a busy machine cannot pause the request between its bytes; a write that
// fails is a failed send.
TEST_F(RequestFrame, localModeSendsTheFrameAndTheBufferByteAfterTheChecksumInOneWrite) {
    Internet = 0;
    TeleBuffer[5] = 0xAB;  // left there by an earlier, longer telegram
    request(0x10);
    line().queueReply(Hex("06"));
    EXPECT_EQ(SioExchange(), 1);
    ASSERT_EQ(line().writes().size(), 1u);
    EXPECT_EQ(HexOf(line().writes()[0]), "02 05 04 10 1B AB");
    EXPECT_EQ(line().rtsSwitches(), (std::vector<bool>{false, true, false}));
    line().failWrite(2);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(line().writes().size(), 2u) << "nothing is awaited after a failed send";
}

TEST_F(RequestFrame, checksumWrapsModulo256) {
    BusAdresse = 3;
    request(0xD0, Hex("01 F4"));
    line().queueReply(Hex("06"));
    SioExchange();
    EXPECT_EQ(requestOnWire(), "02 03 06 D0 01 F4 D0");
}

TEST_F(RequestFrame, broadcastGoesToAddress32AndAwaitsNothing) {
    Broadcast = true;
    request(0x90, Hex("01"));
    line().queueReply(Hex("06"));
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_EQ(requestOnWire(), "02 20 05 90 01 B8");
    const auto& events = line().events();
    const int write = IndexOf(events, Kind::Write);
    EXPECT_EQ(IndexOf(events, Kind::Read, write), -1) << "nothing may be read after a broadcast";
    EXPECT_EQ(line().rtsSwitches(), std::vector<bool>{false});
}

TEST_F(RequestFrame, staleInputIsDrainedBeforeSending) {
    line().feed(Hex("AA BB 06"));
    request(0x31);
    line().queueReply(Hex("15"));
    EXPECT_EQ(SioExchange(), 0) << "a stale ACK must not pass for the reply";
    const auto& events = line().events();
    const int write = IndexOf(events, Kind::Write);
    int readsBefore = 0;
    for (int i = 0; i < write; ++i) readsBefore += events[i].kind == Kind::Read;
    EXPECT_EQ(readsBefore, 4) << "three stale bytes, then the read that finds the line quiet";
}

TEST_F(RequestFrame, drainingEndsOnALineThatNeverFallsQuiet) {
    line().feed(Bytes(5000, 0x55));
    request(0x31);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_GT(line().readable(), 3000u);
    EXPECT_FALSE(line().writes().empty()) << "the request is still sent";
}

// A stray byte every 60 ms: no read ever finds the line quiet, and the byte limit alone would let
// the drain run for 960 bytes, almost a minute.
TEST_F(RequestFrame, drainingEndsAfterOneSecondOnALineWithAStrayByteNowAndThen) {
    clock.setStep(1);
    line().feed(Hex("55"));
    line().onEvent = [&](const LineEvent& e) {
        if (e.kind != Kind::Read || line().writes().size() > 0) return;
        clock.advanceMs(60);
        line().feed(Hex("55"));
    };
    request(0x31);
    EXPECT_EQ(SioExchange(), 0);
    const auto& events = line().events();
    const int write = IndexOf(events, Kind::Write);
    ASSERT_GE(write, 0) << "the request is still sent";
    const auto drainReads = std::count_if(events.begin(), events.begin() + write,
                                          [](const LineEvent& e) { return e.kind == Kind::Read; });
    EXPECT_GE(drainReads, 16);
    EXPECT_LE(drainReads, 18) << "1000 ms of 60 ms reads, and the one under way";
}

TEST_F(RequestFrame, rtsIsOffWhileSendingAndOnOnlyWhileAwaitingTheReply) {
    request(0x31);
    line().queueReply(Hex("02 05 05 0A 0B 21"));
    EXPECT_EQ(SioExchange(), 1);
    const auto& events = line().events();
    const int off = IndexOf(events, Kind::Rts);
    const int send = IndexOf(events, Kind::Write);
    const int on = IndexOf(events, Kind::Rts, off + 1);
    const int offAgain = IndexOf(events, Kind::Rts, on + 1);
    const int reply = IndexOf(events, Kind::Write, send + 1);
    ASSERT_TRUE(off >= 0 && send > off && on > send && offAgain > on && reply > offAgain);
    EXPECT_FALSE(events[off].on);
    EXPECT_TRUE(events[on].on);
    EXPECT_FALSE(events[offAgain].on);
    EXPECT_FALSE(line().rtsSwitches().back()) << "RTS rests off";
}

TEST_F(RequestFrame, failedSendEndsTheExchangeWithoutWaiting) {
    line().failAllWrites();
    request(0x31);
    line().queueReply(Hex("06"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(line().rtsSwitches(), std::vector<bool>{false});
}

// --- Replies ------------------------------------------------------------------------------------

class Reply : public LinkTest {};

TEST_F(Reply, answerWithRightChecksumIsAcknowledged) {
    Negativ = true;
    request(0x31);
    line().queueReply(Hex("02 05 05 0A 0B 21"));
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_EQ(HexOf(line().writes().back()), "06");
    EXPECT_EQ(answerArea(0, 6), "06 05 05 0A 0B 21") << "the reply byte stands at answer position 0";
    EXPECT_FALSE(Negativ);
}

TEST_F(Reply, answerWithWrongChecksumGetsNak) {
    Negativ = true;
    request(0x31);
    line().queueReply(Hex("02 05 05 0A 0B 22"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(HexOf(line().writes().back()), "15");
    EXPECT_FALSE(Negativ);
}

TEST_F(Reply, answerFromAnotherStationIsRefusedAndRecorded) {
    request(0x31);
    line().queueReply(Hex("02 07 05 0A 0B 23"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(HexOf(line().writes().back()), "15");
    EXPECT_EQ(HexOf(Bytes(FremdAntworten[7], FremdAntworten[7] + 7)), "02 07 05 0A 0B 23 00");
    EXPECT_EQ(FremdAntworten[5][0], 0);
}

TEST_F(Reply, answerFromBeyondTheBusIsRefusedAndRecordedNowhere) {
    request(0x31);
    line().queueReply(Hex("02 21 05 0A 0B 3D"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(HexOf(line().writes().back()), "15");
    for (const auto& record : FremdAntworten) EXPECT_EQ(record[0], 0);
}

TEST_F(Reply, ackAndNakOfTheStationNeedNoReply) {
    request(0x90, Hex("01"));
    line().queueReply(Hex("06"));
    line().queueReply(Hex("15"));
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(line().writes().size(), 2u);
}

TEST_F(Reply, unexpectedFirstByteGivesZeroAndNothingIsSentBack) {
    request(0x31);
    line().queueReply(Hex("41 42"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(line().writes().size(), 1u);
}

TEST_F(Reply, restOfTheAnswerIsReadAfterAPauseOfThreeThousandUnits) {
    clock.setStep(1);
    request(0x31);
    line().queueReply(Hex("02 05 05 0A 0B 21"));
    std::uint64_t headerAt = 0, restAt = 0;
    line().onEvent = [&](const LineEvent& e) {
        if (e.kind != Kind::Read || e.result <= 0) return;
        if (e.bytes.size() == 2 && headerAt == 0) headerAt = clock.now();
        if (e.bytes.size() == 3) restAt = clock.now();
    };
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_GE(restAt - headerAt, 3000 * FakeCounter::kPerUnit);
}

TEST_F(Reply, answerFillingTheWholeAnswerAreaIsAccepted) {
    request(0x31);
    Bytes answer = Hex("02 05 0E 01 02 03 04 05 06 07 08 09 0A 0B");
    answer.push_back(TelegramChecksum(answer.data(), answer.size()));
    line().queueReply(answer);
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_EQ(answerArea(14, 1), HexOf({answer.back()}));
}

TEST_F(Reply, answerLongerThanTheAnswerAreaIsRefusedUnread) {
    const std::uint8_t guard = 0x5A;
    request(0x31);
    Bytes answer = Hex("02 05 0F");
    answer.resize(40, guard);
    line().queueReply(answer);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(HexOf(line().writes().back()), "15");
    for (const LineEvent& e : line().eventsOf(Kind::Read))
        EXPECT_LE(e.requested, 2u) << "nothing may be read past the header of an oversized answer";
}

// On a half-duplex line a NAK sent while the station still sends would collide with its bytes.
TEST_F(Reply, oversizedAnswerGetsItsNakOnlyOnceTheLineIsQuiet) {
    request(0x31);
    Bytes answer = Hex("02 05 20");
    answer.resize(40, 0x5A);
    line().queueReply(answer);
    EXPECT_EQ(SioExchange(), 0);
    const auto& events = line().events();
    const int nak = IndexOf(events, Kind::Write, IndexOf(events, Kind::Write) + 1);
    ASSERT_GT(nak, 0);
    EXPECT_EQ(HexOf(events[nak].bytes), "15");
    EXPECT_EQ(line().readable(), 0u) << "every byte of the answer had come before the NAK";
    EXPECT_EQ(events[nak - 3].kind, Kind::Read) << "a read that found the line quiet comes first";
    EXPECT_EQ(events[nak - 3].result, 0);
    const std::vector<LineEvent> timeouts = line().eventsOf(Kind::SetTimeouts);
    ASSERT_EQ(timeouts.size(), 2u);
    EXPECT_EQ(timeouts[0].timeouts.readTotalConstant, 5u) << "quiet means a few byte times, not a read time-out";
    EXPECT_EQ(timeouts[1].timeouts.readTotalConstant, kCommandSetTimeouts.readTotalConstant);
}

TEST_F(Reply, answerTooShortToHoldItsChecksumIsRefused) {
    request(0x31);
    line().queueReply(Hex("02 05 02 09"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(HexOf(line().writes().back()), "15");
}

// --- Silence and a failing line -----------------------------------------------------------------

// The station overview and the event log name why a poll failed.
TEST_F(Reply, theLastExchangeTellsWhyItGotNoValidAnswer) {
    const std::pair<const char*, ExchangeFailure> cases[] = {
        {"02 05 05 0A 0B 21", ExchangeFailure::None},     {"02 05 05 0A 0B 22", ExchangeFailure::Checksum},
        {"02 07 05 0A 0B 23", ExchangeFailure::OtherStation}, {"15", ExchangeFailure::Refused},
        {"41 42", ExchangeFailure::Garbage},              {"02 05", ExchangeFailure::Garbage},
        {"", ExchangeFailure::NoReply}};
    for (const auto& [reply, failure] : cases) {
        request(0x31);
        if (*reply) line().queueReply(Hex(reply));
        SioExchange();
        EXPECT_EQ(LastExchangeFailure(), failure) << reply;
    }
}

class Silence : public LinkTest {};

TEST_F(Silence, localModeGivesUpAfterFiveReads) {
    Internet = 0;
    request(0x31);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(line().emptyReadCount(), 1 + 5) << "the drain, then five attempts";
    EXPECT_FALSE(line().rtsSwitches().back());
}

TEST_F(Silence, replyArrivingOnTheLastLocalAttemptCounts) {
    Internet = 0;
    request(0x31);
    line().queueReply(Hex("06"), 4);
    EXPECT_EQ(SioExchange(), 1);
}

TEST_F(Silence, networkModeMakesTenThousandAttemptsWhenReadsReturnAtOnce) {
    clock.setStep(100);  // ten readings to a unit: the pauses alone stay within bounds
    request(0x31);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_EQ(line().emptyReadCount(), 1 + 10000);
}

TEST_F(Silence, networkModeWaitIsBoundedWhenEveryReadTakesItsTimeOut) {
    clock.setStep(1);
    line().onEvent = [&](const LineEvent& e) {
        if (e.kind == Kind::Read && e.result == 0) clock.advanceMs(101);
    };
    request(0x31);
    EXPECT_EQ(SioExchange(), 0);
    // 1.1 s of pauses plus one read time-out: twelve reads of 101 ms, and the drain's.
    EXPECT_GE(line().emptyReadCount(), 1 + 11);
    EXPECT_LE(line().emptyReadCount(), 1 + 13);
}

TEST_F(Silence, stationFallingSilentAfterStxGivesZeroWithinAFewReads) {
    request(0x31);
    line().queueReply(Hex("02"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_LE(line().emptyReadCount(), 1 + 3);
    EXPECT_EQ(line().writes().size(), 1u) << "a missing answer is answered with nothing";
    EXPECT_FALSE(line().rtsSwitches().back());
}

TEST_F(Silence, stationFallingSilentInTheMiddleOfTheAnswerGivesZero) {
    request(0x31);
    line().queueReply(Hex("02 05 05 0A"));
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_LE(line().emptyReadCount(), 1 + 3);
    EXPECT_EQ(line().writes().size(), 1u);
}

TEST_F(Silence, answerArrivingInPiecesIsPutTogether) {
    request(0x31);
    line().queueReply(Hex("02 05"));
    int pieces = 0;
    line().onEvent = [&](const LineEvent& e) {
        if (e.kind == Kind::Read && e.result == 0 && line().written().size() == 5) {
            if (pieces == 0) line().feed(Hex("05 0A"));
            if (pieces == 1) line().feed(Hex("0B 21"));
            ++pieces;
        }
    };
    EXPECT_EQ(SioExchange(), 1);
    EXPECT_EQ(answerArea(0, 6), "06 05 05 0A 0B 21");
}

TEST_F(Silence, goneDeviceEndsTheExchangeAtOnceInNetworkMode) {
    line().setDeviceGone();
    request(0x31);
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_LE(line().readCount(), 1);
}

TEST_F(Silence, deviceGoneAfterStxEndsTheExchange) {
    request(0x31);
    line().queueReply(Hex("02 05 05 0A 0B 21"));
    line().onEvent = [&](const LineEvent& e) {
        if (e.kind == Kind::Read && e.bytes == Hex("02")) line().setDeviceGone();
    };
    EXPECT_EQ(SioExchange(), 0);
    EXPECT_LE(line().readCount(), 3);
}

// --- Trace ---------------------------------------------------------------------------------------

TEST_F(RequestFrame, traceSeesEveryByteAndRtsSwitchInOrder) {
    std::string seen;
    SetLinkTrace({[&](const std::uint8_t* b, std::size_t n) { seen += "> " + HexOf(Bytes(b, b + n)) + "; "; },
                  [&](const std::uint8_t* b, std::size_t n) { seen += "< " + HexOf(Bytes(b, b + n)) + "; "; },
                  [&](bool on) { seen += on ? "RTS on; " : "RTS off; "; }});
    request(0x31);
    line().queueReply(Hex("02 05 05 0A 0B 21"));
    SioExchange();
    EXPECT_EQ(seen, "RTS off; > 02 05 04 31 3C; RTS on; < 02; < 05 05; < 0A 0B 21; RTS off; > 06; RTS off; ");
}

// --- Opening the command-set port -----------------------------------------------------------------

class CommandSetPort : public ::testing::Test {
protected:
    LinkReset linkReset;
    FakeLineFactory lines;
};

TEST_F(CommandSetPort, numberFrom100IsRefusedBeforeAnyOpen) {
    EXPECT_FALSE(InitSio(100));
    EXPECT_EQ(lines.count(), 0u);
}

TEST_F(CommandSetPort, opensWithTheCommandSetTimeouts) {
    EXPECT_TRUE(InitSio(99));
    const FakeLine& line = lines.last();
    EXPECT_EQ(line.openedPort(), 99u);
    EXPECT_EQ(line.timeouts().readTotalConstant, 100u);
    EXPECT_EQ(line.timeouts().readInterval, 50u);
    EXPECT_EQ(line.timeouts().writeTotalConstant, 50u);
}

TEST_F(CommandSetPort, refusedSettingsReportFalseButTheLineStaysOpen) {
    lines.setPrepare([](FakeLine& l) { l.failConfigure(); });
    EXPECT_FALSE(InitSio(3));
    EXPECT_TRUE(lines.last().isOpen());
    EXPECT_TRUE(lines.last().eventsOf(Kind::Close).empty());
}

TEST_F(CommandSetPort, failedOpenReportsFalseAndLaterExchangesFail) {
    lines.setPrepare([](FakeLine& l) { l.failOpen(); });
    EXPECT_FALSE(InitSio(4));
    TeleBuffer[2] = 4;
    TeleBuffer[3] = 0x31;
    EXPECT_EQ(SioExchange(), 0);
}

TEST_F(CommandSetPort, resetClosesThePort) {
    ASSERT_TRUE(InitSio(2));
    ReSetSio();
    EXPECT_FALSE(lines.last().isOpen());
    EXPECT_EQ(lines.last().eventsOf(Kind::Close).size(), 1u);
}

}  // namespace
