// qtvexport: its command line, and the built tool's exit status, messages and output.

#include <gtest/gtest.h>

#include "support/RecordingFolder.h"
#include "support/StrictCsv.h"
#include "support/ToolOutcome.h"
#include "tools/qtvexport/Options.h"

namespace {
const Date kDay{2026, 12, 6};

ToolOutcome Qtvexport(const std::string& arguments) { return RunTool(QTVEXPORT_PROGRAM, arguments); }

std::string Refusal(const std::vector<std::string>& args) {
    const ParsedOptions p = ParseExportOptions(args);
    return p.options ? std::string() : p.error;
}
}  // namespace

TEST(QtvexportOptions, EveryOptionInBothSpellings) {
    const ParsedOptions p = ParseExportOptions({"--dir", "/daten", "--from=01.12.2026", "--to", "06.12.2026",
                                                "--stations=1,5,7", "--config", "tarvo.INI", "out.csv"});
    ASSERT_TRUE(p.options) << p.error;
    EXPECT_EQ(p.options->folder, "/daten");
    EXPECT_EQ(p.options->filter.from, (Date{2026, 12, 1}));
    EXPECT_EQ(p.options->filter.to, kDay);
    EXPECT_EQ(p.options->filter.stations, (std::set<int>{1, 5, 7}));
    EXPECT_EQ(p.options->config, "tarvo.INI");
    EXPECT_EQ(p.options->target, "out.csv");
    EXPECT_TRUE(ParseExportOptions({"--help"}).options->help);
}

TEST(QtvexportOptions, BadCommandLinesAreRefusedWithTheirReason) {
    EXPECT_NE(Refusal({}).find("keine Zieldatei"), std::string::npos);
    EXPECT_NE(Refusal({"a.csv", "b.csv"}).find("mehr als eine Zieldatei"), std::string::npos);
    EXPECT_NE(Refusal({"--from", "31.02.2026", "a.csv"}).find("ungültiges Datum"), std::string::npos);
    EXPECT_NE(Refusal({"--from", "07.12.2026", "--to", "06.12.2026", "a.csv"}).find("vor --from"), std::string::npos);
    for (const char* list : {"", "1,,5", "32", "-1", "1;5", "a"})
        EXPECT_NE(Refusal({"--stations", list, "a.csv"}).find("Stationsliste"), std::string::npos) << list;
    EXPECT_NE(Refusal({"--to"}).find("braucht einen Wert"), std::string::npos);
    EXPECT_NE(Refusal({"--bunt", "a.csv"}).find("unbekannte Option --bunt"), std::string::npos);
    EXPECT_NE(Refusal({"05061226.qtv"}).find("Aufzeichnungsdatei"), std::string::npos);
}

TEST(QtvexportTool, ExportsWithTitlesFromTheConfigurationFile) {
    RecordingFolder folder;
    folder.write(5, kDay, "14:03:27 00.05 bar\r\n");
    folder.write(7, kDay, "14:03:27 0001 bar\r\n");
    folder.write(5, NextDay(kDay), "14:03:27 00.07 bar\r\n");
    folder.write("tarvo.INI", "[Form]\r\nMaxGeraete=9\r\n[Geraet 5]\r\nAdresse=5\r\nTitel=K\xFChlung\r\n");  // Windows-1252
    const ToolOutcome out = Qtvexport("--dir '" + folder.path() + "' --to 06.12.2026 --stations 5 --config '" +
                            folder.file("tarvo.INI") + "' '" + folder.file("out.csv") + "'");
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_NE(out.output.find("1 Zeile aus 1 Datei exportiert."), std::string::npos) << out.output;
    const StrictCsv csv = ReadStrictCsv(folder.read("out.csv"));
    ASSERT_EQ(csv.error, "");
    ASSERT_EQ(csv.rows.size(), 2u);
    EXPECT_EQ(csv.rows[1], (std::vector<std::string>{"06.12.2026", "14:03:27", "5", "Kühlung", "0,05", "bar", ""}));
}

TEST(QtvexportTool, ExitStatusTellsNothingFoundFromBadUsage) {
    RecordingFolder folder;
    ToolOutcome out = Qtvexport("--dir '" + folder.path() + "' '" + folder.file("out.csv") + "'");
    EXPECT_EQ(out.status, 1) << out.output;
    EXPECT_NE(out.output.find("Keine Aufzeichnungen gefunden"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.csv")));

    for (const std::string& bad : {std::string("--from 1.1.26 x.csv"), std::string("--dir '") + folder.file("nirgends") + "' x.csv",
                                   std::string("--config '") + folder.file("fehlt.INI") + "' x.csv", std::string("")}) {
        out = Qtvexport(bad);
        EXPECT_EQ(out.status, 2) << bad << "\n" << out.output;
        EXPECT_EQ(std::count(out.output.begin(), out.output.end(), '\n'), 1) << out.output;
    }
    out = Qtvexport("--help");
    EXPECT_EQ(out.status, 0);
    EXPECT_NE(out.output.find("Rückgabewert"), std::string::npos);
}
