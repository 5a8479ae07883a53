// The written form of parameter values and device types: what a file may hold, and what must
// be refused before anything reaches a station.

#include <gtest/gtest.h>

#include "service/StationParameters.h"
#include "service/StationType.h"

namespace {
std::optional<std::string> Normalized(const char* key, const std::string& text) {
    return NormalizedValue(*FindStationParameter(key), text);
}
}  // namespace

TEST(ParameterValues, numbersAreCheckedAgainstWhatTheStationCanHold) {
    EXPECT_EQ(Normalized("SP1Wert", "+0500"), "500");
    EXPECT_FALSE(Normalized("SP1Wert", "4096"));  // twelve bits
    EXPECT_FALSE(Normalized("SP1Hyst", "-1"));
    EXPECT_EQ(Normalized("MaxWert", "-32768"), "-32768");
    EXPECT_FALSE(Normalized("MaxWert", "32768"));
    EXPECT_EQ(Normalized("EVar", "65535"), "65535");
    EXPECT_FALSE(Normalized("Komma", "16"));
    EXPECT_FALSE(Normalized("SP1Aktiv", "2"));
    for (const char* bad : {"", "5 ", "0x10", "1e3", "--1", "12a"})
        EXPECT_FALSE(Normalized("Mittel", bad)) << bad;
}

TEST(ParameterValues, unitTextsAreThreeCharactersOfTheStationsCodePageWrittenOneToOne) {
    EXPECT_EQ(Normalized("DTxt", "\xE2\x82\xAC"
                                 "/h"),
              "\xE2\x82\xAC"
              "/h");  // the euro sign is one byte there
    EXPECT_FALSE(Normalized("DTxt", "abcd"));
    EXPECT_FALSE(Normalized("DTxt", "\xF0\x9F\x98\x80"));  // no such character in the code page
    EXPECT_FALSE(Normalized("DTxt", "\\x4"));
    EXPECT_EQ(Normalized("DTxt", "a\\x00\\x00"), "a");  // zero bytes at the end are no part of the text
    for (const std::string& bytes :
         {std::string("\x01\\", 2), std::string("a\0b", 3), std::string("\x7F\x81\xFF", 3)})
        EXPECT_EQ(UnitTextBytes(UnitTextFromBytes(bytes)), bytes) << UnitTextFromBytes(bytes);
    EXPECT_EQ(UnitTextFromBytes(std::string("\x01\\", 2)), "\\x01\\x5C");
}

TEST(ParameterValues, typeCodesReadAsTheStatusLineShowsThem) {
    EXPECT_EQ(TypeCodeFromReport(95), 0x0095);
    EXPECT_EQ(TypeCodeText(0x1234), "QTV120-034");
    EXPECT_EQ(TypeCodeFromText("QTV350-020"), 0x3520);
    for (const char* bad : {"", "QTV120-34", "QTV121-034", "QTV120-034x", "1234"})
        EXPECT_FALSE(TypeCodeFromText(bad)) << bad;
}
