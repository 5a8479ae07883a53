// The export for spreadsheets: the CSV form read back by a strict reader, numbers with a decimal
// comma, out-of-range values, texts that would be taken as formulas kept as text, skipped lines
// counted, the recording files untouched, and a target that is only replaced by a whole export.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/RecordingFolder.h"
#include "support/StrictCsv.h"
#include "records/Csv.h"
#include "records/Export.h"
#include "records/RecordingReader.h"

namespace {
const Date kDay{2026, 12, 6};

ValueText Number(std::int32_t scaled, int decimals, bool negative = false) {
    ValueText v;
    v.scaled = scaled;
    v.decimals = std::uint8_t(decimals);
    v.negative = negative;
    return v;
}
}  // namespace

TEST(Csv, NumbersCarryTheStationsDecimalsWithADecimalComma) {
    EXPECT_EQ(GermanNumber(Number(5, 2)), "0,05");
    EXPECT_EQ(GermanNumber(Number(1234, 1, true)), "-123,4");
    EXPECT_EQ(GermanNumber(Number(1234, 3)), "1,234");
    EXPECT_EQ(GermanNumber(Number(0, 0)), "0");
    EXPECT_EQ(GermanNumber(Number(12345, 0)), "12345");
    EXPECT_EQ(GermanNumber(Number(50, 2)), "0,50");
    EXPECT_EQ(GermanNumber(Number(0, 1, true)), "0,0");
    ValueText over;
    over.kind = ValueKind::Over;
    EXPECT_EQ(GermanNumber(over), "");
    EXPECT_EQ(StatusOf(over), "Ueber");
    EXPECT_EQ(StatusOf(Number(1, 0)), "");
}

TEST(Csv, TextsWithSeparatorsQuotesOrLineBreaksAreQuoted) {
    std::string row;
    AppendCsvRow(row, "06.12.2026", "14:03:27", 5, "Kessel; \"alt\"", Number(1234, 1, true), "m\xC2\xB3");
    EXPECT_EQ(row, "06.12.2026;14:03:27;5;\"Kessel; \"\"alt\"\"\";-123,4;m\xC2\xB3;\r\n");
    const StrictCsv csv = ReadStrictCsv(CsvHeader() + row);
    ASSERT_EQ(csv.error, "");
    ASSERT_EQ(csv.rows.size(), 2u);
    EXPECT_EQ(csv.rows[1][3], "Kessel; \"alt\"");
    EXPECT_EQ(csv.rows[1][4], "-123,4");
}

TEST(Csv, TextsThatASpreadsheetWouldCalculateStayText) {
    std::string rows;
    AppendCsvRow(rows, "06.12.2026", "14:03:27", 5, "=HYPERLINK(\"x\";\"y\")", Number(5, 2, true), "-bar");
    AppendCsvRow(rows, "06.12.2026", "14:03:28", 5, "+1", Number(5, 2), "@x");
    AppendCsvRow(rows, "06.12.2026", "14:03:29", 5, "\t=1", Number(5, 2), "\r=1");
    AppendCsvRow(rows, "06.12.2026", "14:03:30", 5, "Kessel = 1", Number(5, 2), "bar");
    AppendCsvRow(rows, "06.12.2026", "14:03:31", 5, "  -1", Number(5, 2), std::string_view(" =b\0r", 5));
    const StrictCsv csv = ReadStrictCsv(CsvHeader() + rows);
    ASSERT_EQ(csv.error, "");
    ASSERT_EQ(csv.rows.size(), 6u);
    EXPECT_EQ(csv.rows[1][3], "'=HYPERLINK(\"x\";\"y\")");
    EXPECT_EQ(csv.rows[1][4], "-0,05");  // a negative value stays a number
    EXPECT_EQ(csv.rows[1][5], "'-bar");
    EXPECT_EQ(csv.rows[2][3], "'+1");
    EXPECT_EQ(csv.rows[2][5], "'@x");
    EXPECT_EQ(csv.rows[3][3], "' =1");  // control characters become blanks
    EXPECT_EQ(csv.rows[3][5], "' =1");
    EXPECT_EQ(csv.rows[4][3], "Kessel = 1");  // only the first character other than a blank counts
    EXPECT_EQ(csv.rows[5][3], "'  -1");
    EXPECT_EQ(csv.rows[5][5], "' =b r");
}

TEST(Export, RecordsOfSeveralStationsAndDaysReadBackStrictly) {
    RecordingFolder folder;
    folder.write(5, kDay, "14:03:27 00.05 bar\r\n14:03:28-123.4 bar\r\n14:03:29 Ueber bar\r\n");
    folder.write(7, kDay, "08:00:00 12345 \xB0" "C\r\n9:00:01 Unter \xB0" "C\r\n");  // Windows-1252 degree sign
    folder.write(5, NextDay(kDay), "00:00:01 00.06 bar\r\n");
    const std::string target = folder.file("out.csv");
    const ExportResult r = ExportRecordings(FindRecordingFiles(folder.path()), {{5, "Kühlung"}}, target);
    ASSERT_EQ(r.outcome, ExportResult::Outcome::Written);
    EXPECT_EQ(r.lines, 6u);
    EXPECT_EQ(r.files, 3u);
    EXPECT_EQ(r.malformed, 0u);

    const StrictCsv csv = ReadStrictCsv(folder.read("out.csv"));
    ASSERT_EQ(csv.error, "");
    EXPECT_TRUE(csv.bom);
    const std::vector<std::vector<std::string>> expected = {
        {"Datum", "Uhrzeit", "Station", "Titel", "Wert", "Einheit", "Status"},
        {"06.12.2026", "14:03:27", "5", "Kühlung", "0,05", "bar", ""},
        {"06.12.2026", "14:03:28", "5", "Kühlung", "-123,4", "bar", ""},
        {"06.12.2026", "14:03:29", "5", "Kühlung", "", "bar", "Ueber"},
        {"06.12.2026", "08:00:00", "7", "", "12345", "°C", ""},
        {"06.12.2026", "09:00:01", "7", "", "", "°C", "Unter"},
        {"07.12.2026", "00:00:01", "5", "Kühlung", "0,06", "bar", ""},
    };
    EXPECT_EQ(csv.rows, expected);
}

TEST(Export, MalformedLinesAreSkippedCountedAndNamedNeverFatal) {
    RecordingFolder folder;
    folder.write(5, kDay, "14:03:27 00.05 bar\r\nmüll\r\n14:03:28 00.06 bar\r\n14:03:2");
    folder.write(6, kDay, "kaputt\r\n14:00:00 0001 \r\n");
    const ExportResult r = ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("out.csv"));
    EXPECT_EQ(r.outcome, ExportResult::Outcome::Written);
    EXPECT_EQ(r.lines, 3u);
    EXPECT_EQ(r.malformed, 3u);
    EXPECT_EQ(r.firstMalformed, "05061226.QTV, Zeile 2");
    const std::string summary = ExportSummary(r);
    EXPECT_NE(summary.find("3 Zeilen aus 2 Dateien exportiert"), std::string::npos) << summary;
    EXPECT_NE(summary.find("3 fehlerhafte Zeilen übersprungen (erste: 05061226.QTV, Zeile 2)"), std::string::npos) << summary;
    EXPECT_EQ(ReadStrictCsv(folder.read("out.csv")).rows.size(), 4u);
}

TEST(Export, RecordingFilesAreOnlyRead) {
    RecordingFolder folder;
    const std::string bytes = "14:03:27 00.05 bar\r\n14:03:28 00.06";
    folder.write(5, kDay, bytes);
    const auto before = std::filesystem::last_write_time(folder.file("05061226.QTV"));
    ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("out.csv"));
    EXPECT_EQ(folder.read("05061226.QTV"), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(folder.file("05061226.QTV")), before);
}

TEST(Export, NothingFoundOrNotWritableLeavesAnOlderTargetAsItWas) {
    RecordingFolder folder;
    folder.write("out.csv", "alt");
    folder.write(5, kDay, "nur Müll\r\n");
    ExportResult r = ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("out.csv"));
    EXPECT_EQ(r.outcome, ExportResult::Outcome::NothingFound);
    EXPECT_EQ(r.malformed, 1u);
    r = ExportRecordings({}, {}, folder.file("out.csv"));
    EXPECT_EQ(r.outcome, ExportResult::Outcome::NothingFound);
    EXPECT_EQ(folder.read("out.csv"), "alt");

    folder.write(5, kDay, "14:03:27 00.05 bar\r\n");
    r = ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("no-such-folder/out.csv"));
    EXPECT_EQ(r.outcome, ExportResult::Outcome::WriteFailed);
    EXPECT_EQ(ExportSummary(r), "Die Zieldatei kann nicht geschrieben werden.");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 2u);  // no temporary file left behind
}

TEST(Export, ACancelledExportWritesNothing) {
    RecordingFolder folder;
    folder.write(5, kDay, "14:03:27 00.05 bar\r\n");
    std::atomic<bool> cancel{true};
    const ExportResult r = ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("out.csv"), {}, &cancel);
    EXPECT_EQ(r.outcome, ExportResult::Outcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.csv")));
}

TEST(Export, ProgressReachesTheTotalOfTheFiles) {
    RecordingFolder folder;
    folder.write(5, kDay, "14:03:27 00.05 bar\r\n");
    folder.write(6, kDay, "14:03:27 00.05 bar\r\n14:03:28 00.05 bar\r\n");
    std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
    ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("out.csv"),
                     [&](std::uint64_t done, std::uint64_t total) { seen.emplace_back(done, total); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.back().first, seen.back().second);
    EXPECT_EQ(seen.back().second, 60u);
}

TEST(Export, AHugeOrLinkedRecordingIsSkippedByNameAndTheOthersAreExported) {
    RecordingFolder folder;
    folder.write(5, kDay, "14:03:27 00.05 bar\r\n");
    folder.write(6, kDay, "");
    std::filesystem::resize_file(folder.file(RecordingFileName(6, kDay)), kMaxRecordingBytes + 1);  // sparse
    std::error_code noLinks;  // MinGW's runtime under Wine makes none
    std::filesystem::create_symlink(folder.file(RecordingFileName(5, kDay)), folder.file(RecordingFileName(7, kDay)), noLinks);
    if (noLinks) GTEST_SKIP() << "no symbolic links here: " << noLinks.message();
    const ExportResult r = ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("out.csv"));
    EXPECT_EQ(r.outcome, ExportResult::Outcome::Written);
    EXPECT_EQ(r.lines, 1u);
    EXPECT_EQ(ExportSummary(r), "1 Zeile aus 1 Datei exportiert. 1 Datei(en) nicht lesbar (erste: 07061226.QTV). "
                                "1 Datei(en) zu groß, übersprungen (erste: 06061226.QTV).");
}

TEST(Export, ATargetThatIsALinkToARecordingIsRefusedAndTheRecordingKept) {
    RecordingFolder folder;
    const std::string day = "14:03:27 00.05 bar\r\n";
    folder.write(5, kDay, day);
    std::error_code noLinks;  // MinGW's runtime under Wine makes none
    std::filesystem::create_symlink(folder.file(RecordingFileName(5, kDay)), folder.file("report.csv"), noLinks);
    if (noLinks) GTEST_SKIP() << "no symbolic links here: " << noLinks.message();
    const ExportResult r = ExportRecordings(FindRecordingFiles(folder.path()), {}, folder.file("report.csv"));
    EXPECT_EQ(r.outcome, ExportResult::Outcome::Refused);
    EXPECT_EQ(ExportSummary(r), "Die Zieldatei darf keine Aufzeichnungsdatei (.QTV) sein.");
    EXPECT_EQ(folder.read(RecordingFileName(5, kDay)), day);
}
