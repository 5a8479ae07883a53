// The network link setup replaces the device behind its port number: the command-set port, when
// it holds that number, takes the new device at once, before the port object is created on it,
// both after the port dialog and in the port object's recovery. The redirector tool is a fake.
#include "support/LinkFixture.h"

#include <memory>
#include <string>
#include <vector>

#include "link/NetLink.h"
#include "link/PortSelection.h"
#include "link/SioPort.h"
#include "platform/Net.h"
#include "platform/Process.h"

namespace {

class NetLinkReclaim : public LinkTest {
protected:
    void SetUp() override {
        LinkTest::SetUp();
        SetProcessRunner([this](const ProcessRequest& r) {
            steps.push_back(r.args.at(0) + " " + r.args.at(1));
            return 0;
        });
        SetHostResolver([](const std::string&) { return std::optional<Ipv4Address>(Ipv4Address{10, 1, 2, 3}); });
        lines.setPrepare([this](FakeLine& line) {
            line.onEvent = [this, &line](const LineEvent& e) {
                if (e.kind == LineEvent::Open) steps.push_back("open " + std::to_string(e.port));
                if (e.kind == LineEvent::Close) steps.push_back("close " + std::to_string(line.openedPort()));
            };
        });
        ASSERT_TRUE(InitSio(12));
        pollingLine = &lines.last();
        steps.clear();
    }
    void TearDown() override {
        sioObjekt.reset();
        ResetLinkState();  // the lines and hooks report into `steps`, which goes before the base's reset
        SetProcessRunner({});
        SetHostResolver({});
        LinkTest::TearDown();
    }
    // The port dialog confirmed with this number and mode.
    void confirm(std::uint8_t number, bool internet) {
        PortChoice choice{number, internet, "qtv.example", "192.168.001.010"};
        PortSettings settings{sioNr, internet_, hostName, lokalIP, sioObjekt};
        ApplyPortChoice(choice, settings, "/conf", {});
    }

    std::vector<std::string> steps;
    FakeLine* pollingLine = nullptr;
    std::uint8_t sioNr = 12;
    std::uint8_t internet_ = 0;
    std::string hostName, lokalIP;
    std::unique_ptr<SioPort> sioObjekt;
};

TEST_F(NetLinkReclaim, confirmedInternetReopensThePollingPortBeforeThePortObjectIsMade) {
    confirm(12, true);
    EXPECT_EQ(steps, (std::vector<std::string>{"remservice 12", "remservice 12", "addservice 12", "close 12",
                                               "open 12"}));
    ASSERT_TRUE(sioObjekt);
    EXPECT_TRUE(sioObjekt->SharesCommandSetPort());
    EXPECT_FALSE(pollingLine->isOpen()) << "the old device's handle is released";
    request(0x31);
    lines.last().queueReply(Hex("02 05 05 0A 0B 21"));
    EXPECT_EQ(SioExchange(), 1) << "polling goes on at once on the new device";
}

// The number chosen is the polling port's at once, not at the next start.
TEST_F(NetLinkReclaim, otherNumberMovesThePollingPortAtOnceAndTheSameNumberLeavesItAlone) {
    confirm(7, true);
    EXPECT_EQ(steps.back(), "open 7");
    EXPECT_FALSE(pollingLine->isOpen()) << "the old number is given up";
    EXPECT_TRUE(CommandSetPortHolds(7));
    EXPECT_TRUE(sioObjekt->SharesCommandSetPort());
    FakeLine* onSeven = &lines.last();
    steps.clear();
    confirm(7, false);
    EXPECT_TRUE(steps.empty()) << "no tool, no reopening: the port is open on that number";
    EXPECT_TRUE(onSeven->isOpen());
}

TEST_F(NetLinkReclaim, recoveryOfTheSharedPortObjectGivesThePollingPortItsNewDevice) {
    Internet = 1;
    SetLinkHooks({[this] { steps.push_back("stop"); }, [this] { steps.push_back("restart"); },
                  [this](bool internet) {
                      SetupNetLink(internet, 12, "qtv.example", lokalIP, "/conf", {});
                  }});
    SioPort port(12);
    pollingLine->failAllWrites();  // the bridge is gone
    for (int i = 0; i < 21; ++i) {
        port.Buffer[2] = 4;
        port.Command(0x42, 5);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"stop", "remservice 12", "remservice 12", "addservice 12",
                                               "close 12", "open 12", "restart"}));
    EXPECT_TRUE(port.SharesCommandSetPort());
    lines.last().queueReply(Hex("02 05 05 00 01 0D"));
    port.Buffer[2] = 4;
    EXPECT_TRUE(port.Command(0x42, 5)) << "the humidity dialog works again on the new device";
}

}  // namespace
