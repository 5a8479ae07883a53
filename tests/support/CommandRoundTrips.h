#pragma once
// Every device command of the PC against a simulated station: what a write sends, the matching
// read brings back. Shared by the in-process tests and the tests over a pseudo-terminal.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "link/QtvCommands.h"
#include "link/Sio.h"

namespace roundtrip {

using FlagWrite = std::int32_t (*)(std::uint8_t);
using FlagRead = std::uint8_t (*)();
using AreaRead = std::int32_t (*)(std::uint8_t*);
using WordWrite = std::int32_t (*)(std::uint16_t);
using TwelveWrite = std::int32_t (*)(std::int32_t);
using TwelveRead = std::int32_t (*)();

inline void ExpectFlag(const char* name, FlagWrite write, FlagRead read) {
    for (std::uint8_t v : {1, 0}) {
        EXPECT_EQ(write(v), 1) << name;
        EXPECT_EQ(read(), v) << name;
        EXPECT_EQ(SioErgebnis, 1) << name;
    }
}

inline void ExpectArea(const char* name, WordWrite write, AreaRead read, std::uint16_t value) {
    std::uint8_t area[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(write(value), 1) << name;
    EXPECT_EQ(read(area), 1) << name;
    EXPECT_EQ(area[0], value >> 8) << name;
    EXPECT_EQ(area[1], value & 0xFF) << name;
    EXPECT_EQ(area[2], 0) << name;
}

inline void ExpectTwelve(const char* name, TwelveWrite write, TwelveRead read, std::int32_t value) {
    EXPECT_EQ(write(value), 1) << name;
    EXPECT_EQ(read(), value) << name;
}

// The station at BusAdresse must be free of faults.
inline void ExpectEveryCommandRoundTrips() {
    ExpectFlag("SP1Aktiv", WriteSP1Aktiv, ReadSP1Aktiv);
    ExpectFlag("SP2Aktiv", WriteSP2Aktiv, ReadSP2Aktiv);
    ExpectFlag("SP1Funk", WriteSP1Funk, ReadSP1Funk);
    ExpectFlag("SP2Funk", WriteSP2Funk, ReadSP2Funk);
    ExpectFlag("SP1Status", WriteSP1Status, ReadSP1Status);
    ExpectFlag("SP2Status", WriteSP2Status, ReadSP2Status);
    ExpectFlag("Durch10", WriteDurch10, ReadDurch10);
    ExpectFlag("SoMess", WriteSoMess, ReadSoMess);
    ExpectFlag("UShow", WriteUShow, ReadUShow);
    EXPECT_EQ(WriteKomma(3), 1);
    EXPECT_EQ(ReadKomma(), 3);
    EXPECT_EQ(WriteRunden(5), 1);
    EXPECT_EQ(ReadRunden(), 5);
    ExpectArea("MBAnf", WriteMBAnf, ReadMBAnf, 0xFF38);
    ExpectArea("MBEnd", WriteMBEnd, ReadMBEnd, 0x01F4);
    ExpectArea("ABAnf", WriteABAnf, ReadABAnf, 0x0002);
    ExpectArea("ABEnd", WriteABEnd, ReadABEnd, 0x270F);
    ExpectArea("MaxWert", WriteMaxWert, ReadMaxWert, 0x000C);
    ExpectArea("MinWert", WriteMinWert, ReadMinWert, 0xFFF4);
    ExpectTwelve("SP1Wert", WriteSP1Wert, ReadSP1Wert, 300);
    ExpectTwelve("SP2Wert", WriteSP2Wert, ReadSP2Wert, 4095);
    ExpectTwelve("SP1Hyst", WriteSP1Hyst, ReadSP1Hyst, 12);
    ExpectTwelve("SP2Hyst", WriteSP2Hyst, ReadSP2Hyst, 0);
    EXPECT_EQ(WriteSP1Verz(4095), 1);
    EXPECT_EQ(ReadSP1Verz(), 4095);
    EXPECT_EQ(WriteSP2Verz(7), 1);
    EXPECT_EQ(ReadSP2Verz(), 7);
    EXPECT_EQ(WriteMittel(16), 1);
    EXPECT_EQ(ReadMittel(), 16);
    std::uint8_t area[4] = {};
    EXPECT_EQ(WriteEVar(1234), 1);
    EXPECT_EQ(ReadEVar(area), 1);
    EXPECT_EQ(area[0] * 256 + area[1], 1234);
    EXPECT_EQ(WriteDTxt("kWh"), 1);
    EXPECT_EQ(ReadDTxt(area), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(area)), "kWh");
    EXPECT_EQ(ResetQtv(), 1);
    EXPECT_EQ(ClearBFlag(), 1);
}

// The clock commands: what is written is read back (seconds first, so the minute cannot turn).
inline void ExpectClockRoundTrips() {
    std::uint8_t area[4] = {};
    EXPECT_EQ(WriteRTCSecZyk(0x000A), 1);
    EXPECT_EQ(WriteRTCZeit(0x2359), 1);
    EXPECT_EQ(WriteRTCDatum(0x1226), 1);
    EXPECT_EQ(WriteRTCTag(0x1503), 1);
    EXPECT_EQ(ReadRTCZeit(area), 1);
    EXPECT_EQ(area[0], 0x23);
    EXPECT_EQ(area[1], 0x59);
    EXPECT_EQ(ReadRTCTag(area), 1);
    EXPECT_EQ(area[0], 0x15);
    EXPECT_EQ(area[1], 0x03);
    EXPECT_EQ(ReadRTCDatum(area), 1);
    EXPECT_EQ(area[0], 0x12);
    EXPECT_EQ(area[1], 0x26);
    EXPECT_EQ(ReadRTCSecZyk(area), 1);
    EXPECT_EQ(area[1], 0x0A);
}

}  // namespace roundtrip
