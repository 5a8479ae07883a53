// Parameter sets against simulated stations: taken, saved, changed on the station, compared,
// restored and equal again; a read and a write that fail are named; broadcast mode does not
// leak into the job; every unit text survives the file.

#include <fstream>
#include <sstream>

#include "ServiceFixture.h"
#include "link/QtvCommands.h"
#include "service/ParameterSetJobs.h"
#include "service/StationParameters.h"

namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const ComparedParameter& Row(const Comparison& c, const std::string& key) {
    for (const ComparedParameter& r : c.rows)
        if (r.key == key) return r;
    throw std::out_of_range(key);
}

const RestoredParameter& Row(const std::vector<RestoredParameter>& rows, const std::string& key) {
    for (const RestoredParameter& r : rows)
        if (r.key == key) return r;
    throw std::out_of_range(key);
}

}  // namespace

class ParameterSets : public OverSimBus {
protected:
    std::optional<ParameterSet> SaveAndLoad(const ParameterSet& set, const std::string& name) {
        EXPECT_TRUE(SaveParameterSet(set, Path(name)));
        std::string error;
        auto loaded = LoadParameterSet(Path(name), error);
        EXPECT_TRUE(loaded) << error;
        return loaded;
    }
};

TEST_F(ParameterSets, takenChangedComparedRestoredAndEqualAgain) {
    const ParameterSet taken = ReadParameterSet(2, "Kessel");
    EXPECT_TRUE(KeysWithoutValue(taken).empty());
    const auto file = SaveAndLoad(taken, "station2.ini");
    ASSERT_TRUE(file);

    sim.station(2).setParam("SP1Wert", "123");
    const Comparison changed = CompareParameterSet(2, *file);
    EXPECT_EQ(changed.Differences(), 1);
    EXPECT_FALSE(Row(changed, "SP1Wert").equal);
    EXPECT_EQ(Row(changed, "SP1Wert").file.text, "800");
    EXPECT_EQ(Row(changed, "SP1Wert").station, "123");
    EXPECT_EQ(changed.stationType, 0x3520);

    const auto restored = RestoreParameterSet(2, *file);
    EXPECT_TRUE(AllVerified(restored));
    EXPECT_EQ(restored.size(), StationParameters().size());
    EXPECT_EQ(sim.station(2).paramText("SP1Wert", {}), "800");
    EXPECT_EQ(CompareParameterSet(2, *file).Differences(), 0);
}

TEST_F(ParameterSets, aReplacementStationTakesEveryValueOfTheSet) {
    sim.station(2).setParam("MBAnf", "-50");
    sim.station(2).setParam("Runden", "5");
    const auto file = SaveAndLoad(ReadParameterSet(2, "Kessel"), "station2.ini");
    ASSERT_TRUE(file);
    EXPECT_GT(CompareParameterSet(1, *file).Differences(), 0);

    EXPECT_TRUE(AllVerified(RestoreParameterSet(1, *file)));
    EXPECT_EQ(CompareParameterSet(1, *file).Differences(), 0);
    EXPECT_EQ(sim.station(1).paramText("DTxt", {}), "kWh");
    EXPECT_EQ(sim.station(1).paramText("MBAnf", {}), "-50");
    EXPECT_EQ(sim.station(1).paramText("Runden", {}), "5");
}

TEST_F(ParameterSets, fileIsUtf8IniWithTheStationAndOneKeyPerCommand) {
    sim.station(2).setParam("DTxt", "\xB0" "C");  // the stations' code page: the degree sign is 0xB0
    sim.station(2).setParam("MinWert", "-999");
    pcAheadMs = 3000;
    const ParameterSet set = ReadParameterSet(2, "Kessel 2");
    ASSERT_TRUE(SaveParameterSet(set, Path("set.ini")));
    const std::string text = FileText(Path("set.ini"));
    for (const char* line : {"[Station]\r\n", "Adresse=2\r\n", "Titel=Kessel 2\r\n", "Typ=QTV350-020\r\n",
                             "Datum=05.01.2026\r\n", "Zeit=12:00:03\r\n", "[Parameter]\r\n", "SP1Wert=800\r\n",
                             "Komma=1\r\n", "MinWert=-999\r\n", "DTxt=\"\xC2\xB0" "C \"\r\n", "SP1Aktiv=1\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    for (const StationParameter& p : StationParameters())
        EXPECT_NE(text.find(std::string("\n") + p.key + "="), std::string::npos) << p.key;
}

TEST_F(ParameterSets, unitTextsComeBackByteForByte) {
    // Trailing blanks, a character of the code page and a control character, a zero before the end.
    for (const std::string& bytes : {std::string("m  "), std::string("\xB0" "C\x01", 3), std::string("a\0b", 3),
                                    std::string("\\\"x", 3)}) {
        BusAdresse = 2;
        ASSERT_EQ(WriteDTxt(bytes), 1);
        const auto file = SaveAndLoad(ReadParameterSet(2, {}), "text.ini");
        ASSERT_TRUE(file);
        ASSERT_TRUE(AllVerified(RestoreParameterSet(1, *file)));
        EXPECT_EQ(sim.station(1).paramText("DTxt", {}), bytes);
    }
}

TEST_F(ParameterSets, aParameterTheStationDoesNotGiveIsWrittenAsSuchAndNotRestored) {
    FaultOn(2, 0x54, false);  // ReadSP1Verz goes unanswered
    const ParameterSet set = ReadParameterSet(2, "Kessel");
    EXPECT_EQ(KeysWithoutValue(set), std::vector<std::string>{"SP1Verz"});
    ASSERT_TRUE(SaveParameterSet(set, Path("set.ini")));
    EXPECT_NE(FileText(Path("set.ini")).find("SP1Verz=nicht gelesen\r\n"), std::string::npos);

    std::string error;
    const auto file = LoadParameterSet(Path("set.ini"), error);
    ASSERT_TRUE(file);
    const auto rows = RestoreParameterSet(1, *file);
    EXPECT_EQ(Row(rows, "SP1Verz").outcome, RestoreOutcome::NotInFile);
    EXPECT_EQ(Row(rows, "SP1Wert").outcome, RestoreOutcome::Verified);
    EXPECT_FALSE(AllVerified(rows));
}

TEST_F(ParameterSets, aRefusedWriteIsReadBackAndNamed) {
    const auto file = SaveAndLoad(ReadParameterSet(2, "Kessel"), "set.ini");
    ASSERT_TRUE(file);
    sim.station(2).setParam("SP1Wert", "123");
    sim.station(2).setParam("SP2Wert", "321");
    FaultOn(2, 0xD0, true);  // WriteSP1Wert refused
    const auto rows = RestoreParameterSet(2, *file);
    EXPECT_EQ(Row(rows, "SP1Wert").outcome, RestoreOutcome::WriteFailed);
    EXPECT_EQ(Row(rows, "SP1Wert").readBack, "123");
    EXPECT_EQ(Row(rows, "SP2Wert").outcome, RestoreOutcome::Verified);
    EXPECT_FALSE(AllVerified(rows));
    int failed = 0;
    for (const RestoredParameter& r : rows) failed += r.outcome != RestoreOutcome::Verified;
    EXPECT_EQ(failed, 1);
}

TEST_F(ParameterSets, aSilentStationGivesNothingAndEveryComparisonDiffers) {
    const auto file = SaveAndLoad(ReadParameterSet(2, "Kessel"), "set.ini");
    ASSERT_TRUE(file);
    sim.station(2).faults().silent = true;
    const ParameterSet nothing = ReadParameterSet(2, "Kessel");
    EXPECT_FALSE(nothing.typeCode);
    EXPECT_EQ(KeysWithoutValue(nothing).size(), StationParameters().size());
    const Comparison c = CompareParameterSet(2, *file);
    EXPECT_EQ(c.Differences(), static_cast<int>(StationParameters().size()));
    EXPECT_FALSE(c.stationType);
    for (const RestoredParameter& r : RestoreParameterSet(2, *file)) EXPECT_EQ(r.outcome, RestoreOutcome::WriteFailed);
}

TEST_F(ParameterSets, broadcastModeAndTheActiveStationAreKeptAndTheJobIsAddressed) {
    Broadcast = true;
    BusAdresse = 4;
    const ParameterSet set = ReadParameterSet(2, "Kessel");
    EXPECT_TRUE(KeysWithoutValue(set).empty());  // in broadcast mode no read would be answered
    EXPECT_TRUE(Broadcast);
    EXPECT_EQ(BusAdresse, 4);
    sim.station(3).setParam("SP1Wert", "77");
    const auto file = SaveAndLoad(set, "set.ini");
    ASSERT_TRUE(file);
    EXPECT_TRUE(AllVerified(RestoreParameterSet(2, *file)));
    EXPECT_EQ(sim.station(3).paramText("SP1Wert", {}), "77");  // no write reached another station
    EXPECT_TRUE(Broadcast);
    EXPECT_EQ(BusAdresse, 4);
}

TEST_F(ParameterSets, progressCountsEveryExchange) {
    std::vector<int> done;
    int total = 0;
    ReadParameterSet(2, {}, [&](int d, int t) {
        done.push_back(d);
        total = t;
    });
    EXPECT_EQ(total, 1 + static_cast<int>(StationParameters().size()));
    ASSERT_EQ(done.size(), static_cast<std::size_t>(total + 1));
    EXPECT_EQ(done.front(), 0);
    EXPECT_EQ(done.back(), total);
}

TEST_F(ParameterSets, filesThatHoldNoSetAreRefusedAndBadValuesMarked) {
    std::string error;
    EXPECT_FALSE(LoadParameterSet(Path("none.ini"), error));
    EXPECT_NE(error.find("kann nicht gelesen werden"), std::string::npos);
    std::ofstream(Path("other.ini")) << "[Form]\nMaxGeraete=3\n";
    EXPECT_FALSE(LoadParameterSet(Path("other.ini"), error));
    EXPECT_NE(error.find("keinen Parametersatz"), std::string::npos);

    std::ofstream(Path("odd.ini")) << "[Station]\nTyp=QTV350-020\n[Parameter]\nSP1Wert=4096\nKomma= 2 \nDTxt=viel\n";
    const auto set = LoadParameterSet(Path("odd.ini"), error);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->typeCode, 0x3520);
    const auto& params = StationParameters();
    for (std::size_t i = 0; i < params.size(); ++i) {
        const std::string key = params[i].key;
        const SetValue& v = set->values[i];
        if (key == "SP1Wert" || key == "DTxt") EXPECT_EQ(v.state, SetValue::State::Invalid) << key;
        else if (key == "Komma") EXPECT_EQ(v.text, "2");
        else EXPECT_EQ(v.state, SetValue::State::Missing) << key;
    }
    // Nothing of it is written but the one good value.
    sim.station(2).setParam("Komma", "0");
    const auto rows = RestoreParameterSet(2, *set);
    for (const RestoredParameter& r : rows)
        EXPECT_EQ(r.outcome, r.key == "Komma" ? RestoreOutcome::Verified : RestoreOutcome::NotInFile) << r.key;
    EXPECT_EQ(sim.station(2).paramText("Komma", {}), "2");
    EXPECT_EQ(sim.station(2).paramText("SP1Wert", {}), "800");
}

TEST_F(ParameterSets, aFileThatCannotBeWrittenLeavesTheOldOne) {
    std::ofstream(Path("keep.ini")) << "old";
    const ParameterSet set = ReadParameterSet(2, {});
    EXPECT_FALSE(SaveParameterSet(set, Path("missing-folder/set.ini")));
    EXPECT_TRUE(SaveParameterSet(set, Path("keep.ini")));
    EXPECT_NE(FileText(Path("keep.ini")).find("[Parameter]"), std::string::npos);
}
