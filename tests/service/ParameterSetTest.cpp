// Parameter sets against simulated stations: taken, changed on the station, compared, restored
// and equal again; a read and a write that fail are named; broadcast mode does not leak into
// the job; every unit text survives the file.

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/ServiceFixture.h"
#include "link/QtvCommands.h"
#include "service/ParameterSetJobs.h"
#include "service/StationParameters.h"

namespace {

std::string FileText(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

template <typename Row> const Row& Find(const std::vector<Row>& rows, const std::string& key) {
    for (const Row& r : rows)
        if (r.key == key) return r;
    throw std::out_of_range(key);
}

}  // namespace

class ParameterSets : public OverSimBus {
protected:
    ParameterSet SavedAndLoaded(std::uint8_t station) {
        EXPECT_TRUE(SaveParameterSet(ReadParameterSet(station, "Kessel"), Path("set.ini")));
        std::string error;
        auto loaded = LoadParameterSet(Path("set.ini"), error);
        EXPECT_TRUE(loaded) << error;
        return loaded.value_or(ParameterSet{});
    }
};

TEST_F(ParameterSets, takenChangedComparedRestoredAndEqualAgain) {
    const ParameterSet file = SavedAndLoaded(2);
    EXPECT_TRUE(KeysWithoutValue(file).empty());
    sim.station(2).setParam("SP1Wert", "123");
    const Comparison changed = CompareParameterSet(2, file);
    EXPECT_EQ(changed.Differences(), 1);
    EXPECT_EQ(Find(changed.rows, "SP1Wert").file.text, "800");
    EXPECT_EQ(Find(changed.rows, "SP1Wert").station, "123");

    EXPECT_TRUE(AllVerified(RestoreParameterSet(2, file)));
    EXPECT_EQ(sim.station(2).paramText("SP1Wert", {}), "800");
    EXPECT_EQ(CompareParameterSet(2, file).Differences(), 0);
}

TEST_F(ParameterSets, fileIsUtf8IniWithTheStationAndOneKeyPerCommand) {
    sim.station(2).setParam("DTxt", "\xB0"
                                    "C");  // the degree sign of the stations' code page
    pcAheadMs = 3000;
    SavedAndLoaded(2);
    const std::string text = FileText(Path("set.ini"));
    for (const char* line :
         {"[Station]\r\n", "Adresse=2\r\n", "Titel=Kessel\r\n", "Typ=QTV350-020\r\n", "Datum=05.01.2026\r\n",
          "Zeit=12:00:03\r\n", "[Parameter]\r\n", "SP1Wert=800\r\n", "MinWert=-999\r\n",
          "DTxt=\"\xC2\xB0"
          "C \"\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    for (const StationParameter& p : StationParameters())
        EXPECT_NE(text.find(std::string("\n") + p.key + "="), std::string::npos) << p.key;
}

TEST_F(ParameterSets, unitTextsComeBackByteForByte) {
    for (const std::string& bytes : {std::string("m  "),
                                     std::string("\xB0"
                                                 "C\x01",
                                                 3),
                                     std::string("a\0b", 3)}) {
        BusAdresse = 2;
        ASSERT_EQ(WriteDTxt(bytes), 1);
        ASSERT_TRUE(AllVerified(RestoreParameterSet(1, SavedAndLoaded(2))));
        EXPECT_EQ(sim.station(1).paramText("DTxt", {}), bytes);
    }
}

TEST_F(ParameterSets, aParameterTheStationDoesNotGiveIsWrittenAsSuchAndNotRestored) {
    FaultOn(2, 0x54, false);  // ReadSP1Verz goes unanswered
    const ParameterSet file = SavedAndLoaded(2);
    EXPECT_EQ(KeysWithoutValue(file), std::vector<std::string>{"SP1Verz"});
    EXPECT_NE(FileText(Path("set.ini")).find("SP1Verz=nicht gelesen\r\n"), std::string::npos);
    const auto rows = RestoreParameterSet(1, file);
    EXPECT_EQ(Find(rows, "SP1Verz").outcome, RestoreOutcome::NotInFile);
    EXPECT_EQ(Find(rows, "SP1Wert").outcome, RestoreOutcome::Verified);
    EXPECT_FALSE(AllVerified(rows));
}

TEST_F(ParameterSets, aRefusedWriteIsReadBackAndNamed) {
    const ParameterSet file = SavedAndLoaded(2);
    sim.station(2).setParam("SP1Wert", "123");
    FaultOn(2, 0xD0, true);  // WriteSP1Wert refused
    const auto rows = RestoreParameterSet(2, file);
    EXPECT_EQ(Find(rows, "SP1Wert").outcome, RestoreOutcome::WriteFailed);
    EXPECT_EQ(Find(rows, "SP1Wert").readBack, "123");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](auto& r) { return r.outcome != RestoreOutcome::Verified; }),
              1);
}

TEST_F(ParameterSets, broadcastModeAndTheActiveStationAreKeptAndTheJobIsAddressed) {
    Broadcast = true;
    BusAdresse = 4;
    sim.station(3).setParam("SP1Wert", "77");
    const ParameterSet file = SavedAndLoaded(2);
    EXPECT_TRUE(KeysWithoutValue(file).empty());  // in broadcast mode no read would be answered
    EXPECT_TRUE(AllVerified(RestoreParameterSet(2, file)));
    EXPECT_EQ(sim.station(3).paramText("SP1Wert", {}), "77");  // no write reached another station
    EXPECT_TRUE(Broadcast);
    EXPECT_EQ(BusAdresse, 4);
}

TEST_F(ParameterSets, filesThatHoldNoSetAreRefusedAndASetWithOneBadEntryIsNeverSent) {
    std::string error;
    EXPECT_FALSE(LoadParameterSet(Path("none.ini"), error));
    EXPECT_NE(error.find("kann nicht gelesen werden"), std::string::npos);
    EXPECT_FALSE(LoadParameterSet(PipeWithoutWriter("pipe.ini"), error));
    EXPECT_NE(error.find("keine gewöhnliche Datei"), std::string::npos);
    std::ofstream(Path("odd.ini")) << "[Form]\n";
    EXPECT_FALSE(LoadParameterSet(Path("odd.ini"), error));
    std::ofstream(Path("odd.ini")) << "[Parameter]\nSP1Wert=4096\nKomma= 2 \nDTxt=viel\nABEnd=+-5\nFoo=1\n";
    const auto set = LoadParameterSet(Path("odd.ini"), error);
    ASSERT_TRUE(set);
    EXPECT_EQ(BadEntries(*set), (std::vector<std::string>{"DTxt=viel", "SP1Wert=4096", "ABEnd=+-5", "Foo=1"}));
    sim.station(2).setParam("Komma", "0");
    EXPECT_TRUE(RestoreParameterSet(2, *set).empty());
    EXPECT_EQ(sim.station(2).paramText("Komma", {}), "0");  // not even the good entry was sent
}
