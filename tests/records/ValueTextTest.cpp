// Reading back every value text the polling cycle writes, and the record lines of a recording
// file around them: times, truncated and foreign lines.

#include <gtest/gtest.h>

#include <cmath>

#include "records/RecordingReader.h"
#include "records/ValueText.h"

namespace {
struct Form {
    const char* text;
    ValueKind kind;
    double value;
    int decimals;
    const char* unit;
};

const Form kForms[] = {
    {" 00.05 bar", ValueKind::Number, 0.05, 2, "bar"},
    {"-123.4 bar", ValueKind::Number, -123.4, 1, "bar"},
    {" 1.234 bar", ValueKind::Number, 1.234, 3, "bar"},
    {" 0000 bar", ValueKind::Number, 0, 0, "bar"},
    {" 12345 bar", ValueKind::Number, 12345, 0, "bar"},
    {" 123.45 bar", ValueKind::Number, 123.45, 2, "bar"},
    {"-32768 bar", ValueKind::Number, -32768, 0, "bar"},
    {" Ueber bar", ValueKind::Over, 0, 0, "bar"},
    {" Unter bar", ValueKind::Under, 0, 0, "bar"},
    {" 0012 ", ValueKind::Number, 12, 0, ""},          // a station without unit text
    {" 12.3  %", ValueKind::Number, 12.3, 1, " %"},    // a unit that begins with a blank
    {" Ueber ", ValueKind::Over, 0, 0, ""},
};
}  // namespace

TEST(ValueText, EveryFormThePanelShowsIsReadBack) {
    for (const Form& f : kForms) {
        SCOPED_TRACE(f.text);
        const auto v = ParseValueText(f.text);
        ASSERT_TRUE(v.has_value());
        EXPECT_EQ(v->kind, f.kind);
        EXPECT_NEAR(v->Value(), f.value, 1e-9);
        EXPECT_EQ(v->decimals, f.decimals);
        EXPECT_EQ(v->unit, f.unit);
    }
}

// Whatever the polling cycle makes of a value, decimal-point code and device group, the text
// reads back as the number the panel shows.
TEST(ValueText, RoundTripThroughTheFormatterForEveryCodeAndGroup) {
    for (std::uint8_t group : {std::uint8_t(0x85), std::uint8_t('2')}) {
        for (std::uint8_t komma = 0; komma <= 3; ++komma) {
            for (int v = -32767; v <= 32767; v += 7) {
                const bool negative = v < 0;
                const std::string bytes = FormatValueText(std::abs(v), negative, komma, group, "m³");
                const auto parsed = ParseValueText(bytes);
                ASSERT_TRUE(parsed.has_value()) << bytes;
                EXPECT_EQ(parsed->unit, "m³");
                if (std::abs(v) == 32767) {
                    EXPECT_EQ(parsed->kind, negative ? ValueKind::Under : ValueKind::Over) << bytes;
                    continue;
                }
                const int d = group == '2' && (komma == 1 || komma == 3) ? 4 - komma : komma;
                EXPECT_EQ(parsed->decimals, d) << bytes;
                EXPECT_NEAR(parsed->Value(), v / std::pow(10.0, d), 1e-9) << bytes;
            }
        }
    }
}

TEST(ValueText, TextsThePollingCycleNeverWritesAreRefused) {
    for (const char* bad : {"", "00.05 bar", "x00.05 bar", " 00.05", " 00.05bar", " .05 bar", " 5. bar",
                            " 1.2.3 bar", "--12 bar", "-Ueber bar", " Ueberbar", " Ueber", " 12a4 bar",
                            " 1234567890 bar", " - bar"}) {
        EXPECT_FALSE(ParseValueText(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(RecordLine, TimeOfDayThenTheValueText) {
    const auto r = ParseRecordLine("10:20:30 00.05 bar");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->SecondOfDay(), 10 * 3600 + 20 * 60 + 30);
    EXPECT_NEAR(r->value.Value(), 0.05, 1e-9);
    const auto negative = ParseRecordLine("23:59:59-123.4 bar");
    ASSERT_TRUE(negative.has_value());
    EXPECT_NEAR(negative->value.Value(), -123.4, 1e-9);
    const auto shortHour = ParseRecordLine("9:05:03 Ueber bar");  // a Windows long time format
    ASSERT_TRUE(shortHour.has_value());
    EXPECT_EQ(shortHour->hour, 9);
    EXPECT_EQ(shortHour->value.kind, ValueKind::Over);
    for (const char* bad : {"24:00:00 0000 bar", "10:60:00 0000 bar", "10:2:30 0000 bar", "10:20 0000 bar",
                            "102030 0000 bar", "10:20:30", "10:20:3 0000 bar", "100:20:30 0000 bar"})
        EXPECT_FALSE(ParseRecordLine(bad).has_value()) << bad;
}

TEST(RecordingReader, ForeignAndTruncatedLinesAreSkippedAndCounted) {
    const std::string file =
        "10:00:00 00.05 bar\r\n"
        "Kopfzeile\r\n"          // not a record
        "10:00:01 00.06 bar\n"   // a line end without CR is still a line end
        "\r\n"                   // an empty line
        "10:00:02 00.07 bar\r\n"
        "10:00:03 00.0";         // cut off while it was written
    std::vector<double> values;
    ReadCount count;
    ReadRecords(file, [&](const RecordLine& r, std::string_view) {
        values.push_back(r.value.Value());
        return true;
    }, count);
    EXPECT_EQ(values, (std::vector<double>{0.05, 0.06, 0.07}));
    EXPECT_EQ(count.records, 3u);
    EXPECT_EQ(count.malformed, 3u);
    EXPECT_EQ(count.firstMalformedLine, 2);
}

TEST(RecordingReader, ACompleteLastLineCountsEvenWhenItLooksShort) {
    ReadCount count;
    int records = 0;
    ReadRecords("10:00:00 0000 \r\n", [&](const RecordLine&, std::string_view) { return ++records, true; }, count);
    EXPECT_EQ(records, 1);
    EXPECT_EQ(count.malformed, 0u);
}
