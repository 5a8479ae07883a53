// The PC's real serial code (PosixSerialLine, SioExchange, the device commands) against the
// qtvsim program over a pseudo-terminal, and qtvsim as a network device server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <filesystem>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/CommandRoundTrips.h"
#include "sim/SimProcess.h"
#include "support/TempFolder.h"
#include "platform/PortPath.h"
#include "platform/Process.h"
#include "support/LinkReset.h"

namespace fs = std::filesystem;

namespace {

class OverPty : public ::testing::Test {
protected:
    void SetUp() override {
        ports = folder.path() + "/ports";
        control = folder.path() + "/control";
        ASSERT_TRUE(sim.start({QTVSIM_PATH, "--link", ports + "/COM1", "--control", control}))
            << sim.error();
        SetPortsFolder(ports);
        Broadcast = false;
        Internet = 0;
        ASSERT_TRUE(InitSio(1));
        BusAdresse = 1;
    }
    void TearDown() override {
        ReSetSio();
        Broadcast = false;
    }
    std::string tell(const std::string& line) { return ControlLine(control, line); }

    LinkReset linkReset;
    TempFolder folder;
    std::string ports;
    std::string control;
    SimProcess sim;
};

TEST_F(OverPty, readyLineNamesTheStationsAndTheLinkWhichGoesAtTheEnd) {
    EXPECT_EQ(sim.readyLine(), "qtvsim: serving 4 stations on " + ports + "/COM1");
    EXPECT_TRUE(fs::is_symlink(ports + "/COM1"));
    ReSetSio();
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(ports + "/COM1")));
    EXPECT_FALSE(fs::exists(control));
}

// Every command round-trips on the simulated line (SimLineTest); over the device, one command of
// each data layout proves that its bytes survive the real line both ways.
TEST_F(OverPty, oneCommandOfEachLayoutRoundTrips) {
    roundtrip::ExpectFlag("SP1Aktiv", WriteSP1Aktiv, ReadSP1Aktiv);
    EXPECT_EQ(WriteRunden(5), 1);
    EXPECT_EQ(ReadRunden(), 5);
    roundtrip::ExpectArea("MBAnf", WriteMBAnf, ReadMBAnf, 0xFF38);
    roundtrip::ExpectTwelve("SP1Wert", WriteSP1Wert, ReadSP1Wert, 300);
    EXPECT_EQ(tell("param 1 SP1Wert"), "ok 300");
    std::uint8_t area[4] = {};
    EXPECT_EQ(WriteDTxt("kWh"), 1);
    EXPECT_EQ(ReadDTxt(area), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(area)), "kWh");
    EXPECT_EQ(WriteRTCSecZyk(0x000A), 1);  // seconds first, so that the minute cannot turn
    EXPECT_EQ(WriteRTCZeit(0x2359), 1);
    EXPECT_EQ(ReadRTCZeit(area), 1);
    EXPECT_EQ(area[0], 0x23);
    EXPECT_EQ(area[1], 0x59);
}

TEST_F(OverPty, typeAndValueAsTheStationsReportThem) {
    EXPECT_EQ(ReadID(), 3510);
    BusAdresse = 3;
    EXPECT_EQ(ReadID(), 3590);
    EXPECT_EQ(tell("value 3 -200"), "ok -200");
    EXPECT_EQ(ReadMWert(), -200);
    EXPECT_EQ(tell("value 3 under"), "ok -32767");
    EXPECT_EQ(ReadMWert(), -32767);
}

TEST_F(OverPty, stationRecordsWhetherThePcAcknowledgedWithAckOrNak) {
    ReadMWert();
    EXPECT_NE(tell("query 1").find("pc=ACK"), std::string::npos);
    tell("fault 1 badsum");
    ReadMWert();
    EXPECT_EQ(SioErgebnis, 0);
    EXPECT_NE(tell("query 1").find("pc=NAK"), std::string::npos);
}

// A fault switched through the program's control socket reaches the line: a silent station waits
// out the real read time-outs of the pseudo-terminal, a NAK ends at once. Every other fault fails
// the command and heals on the simulated line in virtual time (SimLineTest, LinkFaultsTest).
TEST_F(OverPty, faultsGiveResultZeroAndTheStationComesBack) {
    for (const char* fault : {"silent", "nak"}) {
        ASSERT_EQ(tell(std::string("fault 1 ") + fault).rfind("ok", 0), 0u) << fault;
        EXPECT_EQ(ReadID(), 0xFFFF) << fault;
        EXPECT_EQ(SioErgebnis, 0) << fault;
        tell("clear 1");
        EXPECT_EQ(ReadID(), 3510) << "after " << fault;
    }
}

TEST_F(OverPty, broadcastLatchesTheValuesThatReadBroadcastFetches) {
    tell("value 2 1234");
    Broadcast = true;
    ReadMWert();
    tell("value 2 5");
    BusAdresse = 2;
    EXPECT_EQ(ReadBroadcast(), 1234);
    EXPECT_EQ(SioErgebnis, 1);
    EXPECT_NE(tell("query 2").find("latched=1234"), std::string::npos);
}

TEST_F(OverPty, portClosedAndOpenedAgainIsStillServed) {
    EXPECT_EQ(ReadID(), 3510);
    ReSetSio();
    ASSERT_TRUE(InitSio(1));
    EXPECT_EQ(ReadID(), 3510);
}

TEST_F(OverPty, tellSwitchesAFaultFromTheCommandLine) {
    EXPECT_EQ(RunProcess({QTVSIM_PATH, {"--tell", control, "fault", "1", "silent"}, {}}), 0);
    EXPECT_EQ(ReadID(), 0xFFFF);
    EXPECT_EQ(RunProcess({QTVSIM_PATH, {"--tell", control, "clear", "1"}, {}}), 0);
    EXPECT_EQ(ReadID(), 3510);
    EXPECT_EQ(RunProcess({QTVSIM_PATH, {"--tell", control, "fault", "1", "explode"}, {}}), 1);
}

// --- Network device server ---------------------------------------------------------------------

std::vector<std::uint8_t> ExchangeOverTcp(std::uint16_t port, const std::vector<std::uint8_t>& request, std::size_t want) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::vector<std::uint8_t> answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
        timeval limit{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        std::uint8_t buffer[64];
        ssize_t n = 0;
        while (answer.size() < want && (n = read(fd, buffer, sizeof buffer)) > 0) answer.insert(answer.end(), buffer, buffer + n);
    }
    close(fd);
    return answer;
}

TEST(QtvsimTcp, servesOneConnectionAfterAnother) {
    SimProcess sim;
    ASSERT_TRUE(sim.start({QTVSIM_PATH, "--tcp", "127.0.0.1:0", "--station", "5:0095:abc"})) << sim.error();
    const std::string& ready = sim.readyLine();
    EXPECT_EQ(ready.rfind("qtvsim: serving 1 stations on 127.0.0.1:", 0), 0u);
    const auto port = static_cast<std::uint16_t>(std::stoi(ready.substr(ready.rfind(':') + 1)));
    const std::vector<std::uint8_t> readId{STX, 5, 4, 0x30, 0x3B};
    const std::vector<std::uint8_t> expected{STX, 5, 5, 0x00, 0x5F, 0x6B};
    EXPECT_EQ(ExchangeOverTcp(port, readId, 6), expected);
    EXPECT_EQ(ExchangeOverTcp(port, readId, 6), expected);
    EXPECT_EQ(sim.stop(), 0);
}

TEST(QtvsimEndings, linkIsRemovedOnEveryEndingThatCanBeCaught) {
    ::rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);  // the fatal signals below need not leave core files
    TempFolder folder;
    const std::string link = folder.path() + "/ports/COM1";
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGSEGV, SIGABRT}) {
        SCOPED_TRACE(strsignal(signal));
        SimProcess sim;
        ASSERT_TRUE(sim.start({QTVSIM_PATH, "--link", link})) << sim.error();
        ASSERT_TRUE(fs::is_symlink(link));
        sim.stop(signal);
        EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    }
}

TEST(QtvsimCommandLine, busFileThatIsAPipeIsRefusedAtOnce) {
    TempFolder folder;
    const std::string pipe = folder.path() + "/bus.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    SimProcess sim;
    EXPECT_FALSE(sim.start({QTVSIM_PATH, "--link", folder.path() + "/ports/COM1", "--bus", pipe}));
    EXPECT_EQ(sim.stop(), 2) << "it ended by itself with its error, instead of waiting for a writer";
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() + "/ports/COM1")));
}

TEST(QtvsimCommandLine, badBusDescriptionIsRefusedWithoutServing) {
    SimProcess sim;
    EXPECT_FALSE(sim.start({QTVSIM_PATH, "--tcp", "127.0.0.1:0", "--station", "5:4A05"}));
    EXPECT_NE(sim.stop(), 0);
}

}  // namespace
