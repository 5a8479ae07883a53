// The event log: entries with the wall clock's date and time, the daily file and its lines, a
// folder that cannot be written, stations that fall silent and come back, and what the bus link
// reports (port not opened, lost, opened again; every write, also from the port object).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/RecordingFolder.h"
#include "link/BusWorker.h"
#include "link/QtvCommands.h"
#include "link/Sio.h"
#include "link/SioPort.h"
#include "link/Telegram.h"
#include "records/BusEvents.h"
#include "records/EventLog.h"
#include "support/FakeCounter.h"
#include "support/FakeLine.h"
#include "support/LinkReset.h"
#include "support/SimLine.h"

namespace {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        counter.setStepMs(1);
        SetWallClock([this] { return LocalDateTimeAt(nowMs); });
    }
    LinkReset linkReset;  // the link's listener, port and every hook (the clock), around each case
    FakeCounter counter;
    std::int64_t nowMs = LocalMilliseconds(LocalDateTime{2026, 3, 9, 8, 15, 30});
    RecordingFolder folder;
    const std::filesystem::path dir{folder.path()};
};

}  // namespace

TEST_F(EventLogTest, entriesCarryDateTimeAndStationAndGoToTheFileOfTheirDayAsWholeLines) {
    EventLog log(dir.string(), 2);
    log.Add("Programm gestartet");
    nowMs += 5000;
    log.Add(7, "antwortet\r\nnicht\tmehr");
    EXPECT_EQ(log.Entries()[1].station, 7);
    EXPECT_EQ(log.Entries()[1].when.second, 35);
    const std::string firstDay = "09.03.2026 08:15:30\t\tProgramm gestartet\r\n"
                                 "09.03.2026 08:15:35\tStation 7\tantwortet  nicht mehr\r\n";
    EXPECT_EQ(FileText(dir / "EREIGNIS-2026-03-09.txt"), firstDay);

    nowMs += 24LL * 3600 * 1000;  // the next day has its own file
    log.Add(EventEntry::kAllStations, "SP1Wert = 5 gesendet");
    EXPECT_EQ(FileText(dir / "EREIGNIS-2026-03-10.txt"),
              "10.03.2026 08:15:35\talle Stationen\tSP1Wert = 5 gesendet\r\n");
    EXPECT_EQ(FileText(dir / "EREIGNIS-2026-03-09.txt"), firstDay);
    ASSERT_EQ(log.Entries().size(), 2u);  // memory keeps the latest, the files everything
    EXPECT_EQ(log.Entries()[0].station, 7);
}

TEST_F(EventLogTest, aFolderThatCannotBeWrittenLosesTheFileNotTheEntries) {
    EventLog log((dir / "missing").string());
    std::vector<std::string> heard;
    log.SetListener([&](const EventEntry& e) { heard.push_back(e.text); });
    log.Add("eins");
    std::filesystem::create_directories(dir / "missing");
    log.Add("zwei");  // the folder is there again: the file is used from now on
    EXPECT_EQ(heard, (std::vector<std::string>{"eins", "zwei"}));
    EXPECT_EQ(FileText(dir / "missing" / "EREIGNIS-2026-03-09.txt"), "09.03.2026 08:15:30\t\tzwei\r\n");
}

TEST_F(EventLogTest, aStationIsSilentAtItsEleventhFailureAndBackWithItsAbsence) {
    EventLog log(dir.string());
    StationWatch watch(log);
    watch.NotePoll(5, true);
    for (int i = 0; i < 10; ++i) {
        watch.NotePoll(5, false);
        nowMs += 500;
    }
    EXPECT_TRUE(log.Entries().empty());  // ten failures are retries, not silence
    watch.NotePoll(5, false);
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].station, 5);
    EXPECT_EQ(log.Entries()[0].text, "antwortet nicht mehr");
    // Rested and still silent: said once only.
    for (int i = 0; i < 22; ++i)
        watch.NotePoll(5, false);
    nowMs += 60'000;
    watch.NotePoll(3, false);  // another station's failure changes nothing for 5
    watch.NotePoll(5, true);
    ASSERT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(log.Entries()[1].text, "antwortet wieder (nach 1 min 5 s)");
    watch.NotePoll(5, true);
    EXPECT_EQ(log.Entries().size(), 2u);
    // The entry names the cause of the eleventh failure.
    for (int i = 0; i < StationWatch::kFailuresBeforeSilent; ++i) watch.NotePoll(5, false, ExchangeFailure::Checksum);
    EXPECT_EQ(log.Entries().back().text, "antwortet nicht mehr (falsche Prüfsumme)");
}

TEST_F(EventLogTest, writtenValuesReadAsAPersonReadsThem) {
    const std::uint8_t hyst[] = {0xFF, 0xF4}, unit[] = {0xB0, 'C', 0}, tag[] = {0x31, 6}, sec[] = {0x58, 10};
    EXPECT_EQ(WrittenText(0xD2, hyst, 2), "SP1Hyst = -12");
    EXPECT_EQ(WrittenText(0xE0, unit, 3), "DTxt = \xC2\xB0"
                                          "C");
    EXPECT_EQ(WrittenText(0xB6, tag, 2), "RTCTag = 31. (Sonntag)");
    EXPECT_EQ(WrittenText(0xB8, sec, 2), "RTCSecZyk = 58 s, Zyklus 10");
    EXPECT_EQ(DurationText(7322), "2 h 2 min");  // minutes and seconds: the silent station's test
}

TEST_F(EventLogTest, aBusJobThatFailedIsLogged) {
    EventLog log(dir.string());
    SetLinkEvents(LinkEventsInto(log));
    BusWorker worker(BusWorker::Mode::Inline);
    worker.post([] { throw std::runtime_error("kein Speicher"); });
    worker.post([] { throw 1; });
    SetLinkEvents({});
    ASSERT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(log.Entries()[0].text, "Buszugriff abgebrochen: kein Speicher");
    EXPECT_EQ(log.Entries()[1].text, "Buszugriff abgebrochen: unbekannter Fehler");
}

TEST_F(EventLogTest, everyWriteOfTheLinkIsLoggedWithStationValueAndResult) {
    SimulatedBus sim;
    EventLog log(dir.string());
    ASSERT_TRUE(InitSio(1));
    SetLinkEvents(LinkEventsInto(log));
    BusAdresse = 2;
    ReadSP1Wert();  // reads are not logged
    WriteSP1Wert(500);
    sim.station(3).faults().silent = true;
    BusAdresse = 3;
    WriteDTxt("bar");
    Broadcast = true;
    WriteKomma(2);
    Broadcast = false;
    ReSetSio();
    ASSERT_EQ(log.Entries().size(), 3u);
    EXPECT_EQ(log.Entries()[0].station, 2);
    EXPECT_EQ(log.Entries()[0].text, "SP1Wert = 500 gesendet");
    EXPECT_EQ(log.Entries()[1].station, 3);
    EXPECT_EQ(log.Entries()[1].text, "DTxt = bar gesendet: Übertragungsfehler");
    EXPECT_EQ(log.Entries()[2].station, EventEntry::kAllStations);
    EXPECT_EQ(log.Entries()[2].text, "Komma = 2 gesendet");
}

TEST_F(EventLogTest, theHumidityDialogsWriteThroughThePortObjectIsLoggedToo) {
    SimulatedBus sim;
    EventLog log(dir.string());
    SetLinkEvents(LinkEventsInto(log));
    SioPort port(2);
    port.Buffer[2] = 6;
    port.Buffer[4] = 0;
    port.Buffer[5] = 1;
    EXPECT_TRUE(port.Command(0xC2, 3));
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].station, 3);
    EXPECT_EQ(log.Entries()[0].text, "ABAnf = 1 gesendet");
}

TEST_F(EventLogTest, thePortNotOpenedLostAndOpenedAgain) {
    bool failOpen = true;
    FakeLineFactory lines([&](FakeLine& l) { l.failOpen(failOpen); });
    EventLog log(dir.string());
    SetLinkEvents(LinkEventsInto(log));
    Internet = 1;
    EXPECT_FALSE(InitSio(4));
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].text, "Schnittstelle COM4 kann nicht geöffnet werden");

    failOpen = false;
    counter.advanceMs(6000);  // past the pause between attempts
    BusAdresse = 1;
    lines.setPrepare([](FakeLine& l) { l.queueReply({ACK}); });
    WriteSP1Aktiv(1);
    ASSERT_GE(log.Entries().size(), 2u);
    EXPECT_EQ(log.Entries()[1].text, "Schnittstelle COM4 wieder geöffnet");

    lines.last().setDeviceGone();
    WriteSP1Aktiv(1);
    ASSERT_EQ(log.Entries().size(), 5u);
    EXPECT_EQ(log.Entries()[3].text, "Schnittstelle COM4 verloren");
    EXPECT_EQ(log.Entries()[4].text, "SP1Aktiv = 1 gesendet: Übertragungsfehler");
    ReSetSio();
    // The log names the device a port number led to.
    LinkEventsInto(log).portReopened(4, "/dev/ttyUSB0");
    EXPECT_EQ(log.Entries().back().text, "Schnittstelle COM4 wieder geöffnet (/dev/ttyUSB0)");
}
