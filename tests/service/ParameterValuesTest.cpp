// The written form of every kind of parameter value, and of device types: what a file may
// hold, and what it must refuse before anything reaches a station.

#include <gtest/gtest.h>

#include <algorithm>

#include "service/StationParameters.h"
#include "service/StationType.h"

namespace {
std::optional<std::string> Normalized(const char* key, const std::string& text) {
    const StationParameter* p = FindStationParameter(key);
    EXPECT_NE(p, nullptr) << key;
    return p ? NormalizedValue(*p, text) : std::nullopt;
}
}  // namespace

TEST(ParameterValues, numbersAreCheckedAgainstWhatTheStationCanHold) {
    EXPECT_EQ(Normalized("SP1Wert", "4095"), "4095");
    EXPECT_EQ(Normalized("SP1Wert", "+0500"), "500");
    EXPECT_FALSE(Normalized("SP1Wert", "4096"));  // twelve bits
    EXPECT_FALSE(Normalized("SP1Hyst", "-1"));
    EXPECT_EQ(Normalized("MaxWert", "-32768"), "-32768");
    EXPECT_FALSE(Normalized("MaxWert", "32768"));
    EXPECT_EQ(Normalized("EVar", "65535"), "65535");
    EXPECT_FALSE(Normalized("Mittel", "-4"));
    EXPECT_EQ(Normalized("Komma", "15"), "15");
    EXPECT_FALSE(Normalized("Komma", "16"));
    EXPECT_FALSE(Normalized("Runden", "8"));
    EXPECT_FALSE(Normalized("SP1Aktiv", "2"));
    for (const char* bad : {"", "5 ", "0x10", "1e3", "--1", "12a"}) EXPECT_FALSE(Normalized("Mittel", bad)) << bad;
}

TEST(ParameterValues, unitTextsHoldThreeCharactersOfTheStationsCodePage) {
    EXPECT_EQ(Normalized("DTxt", "bar"), "bar");
    EXPECT_EQ(Normalized("DTxt", ""), "");
    EXPECT_EQ(Normalized("DTxt", "\xE2\x82\xAC" "/h"), "\xE2\x82\xAC" "/h");  // the euro sign is one byte there
    EXPECT_FALSE(Normalized("DTxt", "abcd"));
    EXPECT_FALSE(Normalized("DTxt", "\xF0\x9F\x98\x80"));  // no such character in the code page
    EXPECT_FALSE(Normalized("DTxt", "\\x4"));
    EXPECT_FALSE(Normalized("DTxt", "\\y41"));
    EXPECT_EQ(Normalized("DTxt", "\\x41b"), "Ab");
    EXPECT_EQ(Normalized("DTxt", "a\\x00\\x00"), "a");  // zero bytes at the end are no part of the text
}

TEST(ParameterValues, unitTextBytesAndTheirWrittenFormAreOneToOne) {
    for (const std::string& bytes : {std::string("m  "), std::string("\xB0" "C\x01", 3), std::string("a\0b", 3),
                                    std::string("\\x", 2), std::string("\x7F\x81\xFF", 3)}) {
        const std::string text = UnitTextFromBytes(bytes);
        EXPECT_EQ(UnitTextBytes(text), bytes) << text;
    }
    EXPECT_EQ(UnitTextFromBytes(std::string("\x01\\", 2)), "\\x01\\x5C");
}

TEST(ParameterValues, everyParameterOfTheDialogsIsThereOnceAndNoLiveValue) {
    std::vector<std::string> keys;
    for (const StationParameter& p : StationParameters()) keys.push_back(p.key);
    EXPECT_EQ(keys.size(), 24u);
    for (const char* key : {"Komma", "Runden", "Mittel", "DTxt", "MaxWert", "MinWert", "Durch10", "UShow", "SP1Wert",
                            "SP1Hyst", "SP1Verz", "SP1Aktiv", "SP1Funk", "SP2Wert", "SP2Hyst", "SP2Verz", "SP2Aktiv",
                            "SP2Funk", "MBAnf", "MBEnd", "ABAnf", "ABEnd", "SoMess", "EVar"})
        EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 1) << key;
    for (const char* live : {"MWert", "SP1Status", "SP2Status", "RTCZeit", "RTCSecZyk"}) EXPECT_FALSE(FindStationParameter(live));
}

TEST(ParameterValues, typeCodesReadAsTheStatusLineShowsThem) {
    EXPECT_EQ(TypeCodeFromReport(1234), 0x1234);
    EXPECT_EQ(TypeCodeFromReport(95), 0x0095);
    EXPECT_EQ(TypeCodeText(0x1234), "QTV120-034");
    EXPECT_EQ(TypeCodeFromText("QTV120-034"), 0x1234);
    EXPECT_EQ(TypeCodeFromText("QTV350-020"), 0x3520);
    for (const char* bad : {"", "QTV120-34", "QTV121-034", "QTV120-034x", "1234", "qtv120-034"})
        EXPECT_FALSE(TypeCodeFromText(bad)) << bad;
}
