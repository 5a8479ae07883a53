// The device commands: the request each one sends, and the forms of their results.
#include "support/LinkFixture.h"

#include <functional>
#include <ostream>

#include "link/QtvCommands.h"

namespace {

// The answer telegram of station 5 carrying the given data bytes.
Bytes AnswerWith(const Bytes& data) { return AnswerTelegram(5, data); }

// --- Every command's request ----------------------------------------------------------------------

struct Row {
    const char* name;
    std::function<void()> run;
    const char* lengthCodeData;  // request bytes 2 .. L-1
};

// So that test listings name the command, not the bytes of the row.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

std::uint8_t g_area[8];

const Row kRows[] = {
    {"ReadSP1Aktiv", [] { ReadSP1Aktiv(); }, "04 10"},
    {"WriteSP1Aktiv", [] { WriteSP1Aktiv(1); }, "05 90 01"},
    {"ReadSP2Aktiv", [] { ReadSP2Aktiv(); }, "04 11"},
    {"WriteSP2Aktiv", [] { WriteSP2Aktiv(0); }, "05 91 00"},
    {"ReadSP1Funk", [] { ReadSP1Funk(); }, "04 12"},
    {"WriteSP1Funk", [] { WriteSP1Funk(1); }, "05 92 01"},
    {"ReadSP2Funk", [] { ReadSP2Funk(); }, "04 13"},
    {"WriteSP2Funk", [] { WriteSP2Funk(1); }, "05 93 01"},
    {"ReadSP1Status", [] { ReadSP1Status(); }, "04 14"},
    {"WriteSP1Status", [] { WriteSP1Status(1); }, "05 94 01"},
    {"ReadSP2Status", [] { ReadSP2Status(); }, "04 15"},
    {"WriteSP2Status", [] { WriteSP2Status(1); }, "05 95 01"},
    {"ReadDurch10", [] { ReadDurch10(); }, "04 16"},
    {"WriteDurch10", [] { WriteDurch10(1); }, "05 96 01"},
    {"ReadSoMess", [] { ReadSoMess(); }, "04 17"},
    {"WriteSoMess", [] { WriteSoMess(1); }, "05 97 01"},
    {"ReadUShow", [] { ReadUShow(); }, "04 18"},
    {"WriteUShow", [] { WriteUShow(1); }, "05 98 01"},
    {"ReadKomma", [] { ReadKomma(); }, "04 20"},
    {"WriteKomma", [] { WriteKomma(3); }, "05 A0 03"},
    {"ReadRunden", [] { ReadRunden(); }, "04 21"},
    {"WriteRunden", [] { WriteRunden(5); }, "05 A1 05"},
    {"ReadID", [] { ReadID(); }, "04 30"},
    {"ReadMWert", [] { ReadMWert(); }, "04 31"},
    {"ReadRTCZeit", [] { ReadRTCZeit(g_area); }, "04 35"},
    {"WriteRTCZeit", [] { WriteRTCZeit(0x1234); }, "06 B5 12 34"},
    {"ReadRTCTag", [] { ReadRTCTag(g_area); }, "04 36"},
    {"WriteRTCTag", [] { WriteRTCTag(0x3103); }, "06 B6 31 03"},
    {"ReadRTCDatum", [] { ReadRTCDatum(g_area); }, "04 37"},
    {"WriteRTCDatum", [] { WriteRTCDatum(0x1226); }, "06 B7 12 26"},
    {"ReadRTCSecZyk", [] { ReadRTCSecZyk(g_area); }, "04 38"},
    {"WriteRTCSecZyk", [] { WriteRTCSecZyk(0x5905); }, "06 B8 59 05"},
    {"ReadMBAnf", [] { ReadMBAnf(g_area); }, "04 40"},
    {"WriteMBAnf", [] { WriteMBAnf(0xFF9C); }, "06 C0 FF 9C"},
    {"ReadMBEnd", [] { ReadMBEnd(g_area); }, "04 41"},
    {"WriteMBEnd", [] { WriteMBEnd(1000); }, "06 C1 03 E8"},
    {"ReadABAnf", [] { ReadABAnf(g_area); }, "04 42"},
    {"WriteABAnf", [] { WriteABAnf(1); }, "06 C2 00 01"},
    {"ReadABEnd", [] { ReadABEnd(g_area); }, "04 43"},
    {"WriteABEnd", [] { WriteABEnd(9999); }, "06 C3 27 0F"},
    {"ReadSP1Wert", [] { ReadSP1Wert(); }, "04 50"},
    {"WriteSP1Wert", [] { WriteSP1Wert(500); }, "06 D0 01 F4"},
    {"ReadSP2Wert", [] { ReadSP2Wert(); }, "04 51"},
    {"WriteSP2Wert", [] { WriteSP2Wert(4095); }, "06 D1 0F FF"},
    {"ReadSP1Hyst", [] { ReadSP1Hyst(); }, "04 52"},
    {"WriteSP1Hyst", [] { WriteSP1Hyst(-1); }, "06 D2 FF FF"},
    {"ReadSP2Hyst", [] { ReadSP2Hyst(); }, "04 53"},
    {"WriteSP2Hyst", [] { WriteSP2Hyst(0x12345); }, "06 D3 23 45"},
    {"ReadSP1Verz", [] { ReadSP1Verz(); }, "04 54"},
    {"WriteSP1Verz", [] { WriteSP1Verz(10); }, "06 D4 00 0A"},
    {"ReadSP2Verz", [] { ReadSP2Verz(); }, "04 55"},
    {"WriteSP2Verz", [] { WriteSP2Verz(300); }, "06 D5 01 2C"},
    {"ReadMaxWert", [] { ReadMaxWert(g_area); }, "04 56"},
    {"WriteMaxWert", [] { WriteMaxWert(0); }, "06 D6 00 00"},
    {"ReadMinWert", [] { ReadMinWert(g_area); }, "04 57"},
    {"WriteMinWert", [] { WriteMinWert(0x8000); }, "06 D7 80 00"},
    {"ReadMittel", [] { ReadMittel(); }, "04 58"},
    {"WriteMittel", [] { WriteMittel(16); }, "06 D8 00 10"},
    {"ReadEVar", [] { ReadEVar(g_area); }, "04 59"},
    {"WriteEVar", [] { WriteEVar(9999); }, "06 D9 27 0F"},
    {"ReadDTxt", [] { ReadDTxt(g_area); }, "04 60"},
    {"WriteDTxt", [] { WriteDTxt("kWh"); }, "07 E0 6B 57 68"},
    {"ReadBroadcast", [] { ReadBroadcast(); }, "04 61"},
    {"ResetQtv", [] { ResetQtv(); }, "05 9A 00"},
    {"ClearBFlag", [] { ClearBFlag(); }, "04 9B"},
};

class EveryCommand : public LinkTest, public ::testing::WithParamInterface<Row> {};

TEST_P(EveryCommand, sendsItsLengthCodeAndData) {
    Bytes frame{STX, 5};
    const Bytes rest = Hex(GetParam().lengthCodeData);
    frame.insert(frame.end(), rest.begin(), rest.end());
    frame.push_back(TelegramChecksum(frame.data(), frame.size()));
    line().queueReply(Hex("06"));
    GetParam().run();
    EXPECT_EQ(requestOnWire(), HexOf(frame));
}

TEST_P(EveryCommand, recordsAFailedExchangeInSioErgebnis) {
    GetParam().run();
    EXPECT_EQ(SioErgebnis, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, EveryCommand, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// --- Result forms -------------------------------------------------------------------------------

class ResultForm : public LinkTest {
protected:
    void answer(const char* dataHex) { line().queueReply(AnswerWith(Hex(dataHex))); }
};

TEST_F(ResultForm, flagIsBitZeroOfTheFirstDataByte) {
    answer("FE");
    EXPECT_EQ(ReadSP1Aktiv(), 0);
    EXPECT_EQ(SioErgebnis, 1);
    answer("03");
    EXPECT_EQ(ReadUShow(), 1);
    EXPECT_EQ(ReadSP2Funk(), 0) << "failure";
    EXPECT_EQ(SioErgebnis, 0);
}

TEST_F(ResultForm, twelveBitValueDropsTheHighNibble) {
    answer("F1 2C");
    EXPECT_EQ(ReadSP1Wert(), 300);
    answer("FF FF");
    EXPECT_EQ(ReadSP2Verz(), 4095);
    EXPECT_EQ(ReadSP1Hyst(), 0) << "failure";
}

TEST_F(ResultForm, measuredValueIsSignedSixteenBit) {
    answer("FF 38");
    EXPECT_EQ(ReadMWert(), -200);
    EXPECT_EQ(ReadMWert(), 0) << "failure";
    EXPECT_EQ(SioErgebnis, 0);
}

TEST_F(ResultForm, deviceTypeIsUnsignedAndAllOnesOnFailure) {
    answer("83 59");
    EXPECT_EQ(ReadID(), 0x8359);
    EXPECT_EQ(ReadID(), 0xFFFF);
}

TEST_F(ResultForm, averagingCountIsZeroOnFailure) {
    answer("01 00");
    EXPECT_EQ(ReadMittel(), 256);
    EXPECT_EQ(ReadMittel(), 0);
}

TEST_F(ResultForm, maskedByteIsMaskedAndFFOnFailure) {
    EXPECT_EQ(ReadKomma(), 0xFF);
    answer("13");
    EXPECT_EQ(ReadKomma(), 3);
    answer("FF");
    EXPECT_EQ(ReadRunden(), 7);
}

TEST_F(ResultForm, twoBytesFillTheAreaWithAClosingZero) {
    std::uint8_t area[5] = {9, 9, 9, 9, 9};
    answer("12 34");
    EXPECT_EQ(ReadRTCZeit(area), 1);
    EXPECT_EQ(HexOf(Bytes(area, area + 5)), "12 34 00 09 09");
}

TEST_F(ResultForm, threeBytesFillTheAreaWhateverItHeld) {
    std::uint8_t area[6] = {'x', 'y', 'z', 'w', 'v', 'u'};
    answer("62 61 72");
    EXPECT_EQ(ReadDTxt(area), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(area), "bar");
    EXPECT_EQ(area[4], 'v');
}

TEST_F(ResultForm, failedAreaReadsLeaveTheAreaAsItWas) {
    answer("62 61 72");
    ReadDTxt(g_area);  // the answer area now holds data from before
    std::uint8_t area[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(ReadDTxt(area), 0);
    EXPECT_EQ(ReadMaxWert(area), 0);
    EXPECT_EQ(ReadEVar(area), 0);
    EXPECT_EQ(HexOf(Bytes(area, area + 5)), "01 02 03 04 05");
}

TEST_F(ResultForm, pulsesReturnTheStatus) {
    std::uint8_t area[3] = {};
    answer("27 0F");
    EXPECT_EQ(ReadEVar(area), 1);
    EXPECT_EQ(HexOf(Bytes(area, area + 3)), "27 0F 00");
}

TEST_F(ResultForm, writeReturnsTheStationsVerdict) {
    line().queueReply(Hex("06"));
    line().queueReply(Hex("15"));
    EXPECT_EQ(WriteKomma(2), 1);
    EXPECT_EQ(WriteKomma(2), 0);
    EXPECT_EQ(SioErgebnis, 0);
}

TEST_F(ResultForm, unitTextShorterThanThreeGoesWithZeroBytes) {
    line().queueReply(Hex("06"));
    WriteDTxt("C");
    EXPECT_EQ(requestOnWire(), "02 05 07 E0 43 00 00 31");
}

TEST_F(ResultForm, unitTextSendsOnlyItsFirstThreeCharacters) {
    line().queueReply(Hex("06"));
    WriteDTxt("kWhx");
    EXPECT_EQ(requestOnWire(), "02 05 07 E0 6B 57 68 18");
}

// --- ReadBroadcast ---------------------------------------------------------------------------------

class BroadcastValue : public LinkTest {};

TEST_F(BroadcastValue, asksTheAddressedStationAndLeavesBroadcastOn) {
    Broadcast = false;
    line().queueReply(AnswerWith(Hex("06 FF 38")));
    EXPECT_EQ(ReadBroadcast(), -200);
    EXPECT_EQ(SioErgebnis, 1);
    EXPECT_TRUE(Broadcast);
    EXPECT_EQ(requestOnWire(), "02 05 04 61 6C") << "addressed, not to 0x20";
}

TEST_F(BroadcastValue, switchesBroadcastOffForItsOwnExchange) {
    Broadcast = true;
    line().queueReply(AnswerWith(Hex("06 00 64")));
    EXPECT_EQ(ReadBroadcast(), 100);
    EXPECT_EQ(requestOnWire(), "02 05 04 61 6C");
    EXPECT_TRUE(Broadcast);
}

TEST_F(BroadcastValue, answerWithoutAckMarkIsNoValue) {
    line().queueReply(AnswerWith(Hex("15 00 64")));
    EXPECT_EQ(ReadBroadcast(), 0x7FFF);
    EXPECT_EQ(SioErgebnis, 0);
}

TEST_F(BroadcastValue, failedExchangeIsNoValueWhateverTheAnswerAreaHolds) {
    line().queueReply(AnswerWith(Hex("06 00 64")));
    ReadBroadcast();
    Broadcast = false;
    EXPECT_EQ(ReadBroadcast(), 0x7FFF);
    EXPECT_EQ(SioErgebnis, 0);
    EXPECT_TRUE(Broadcast);
}

}  // namespace
