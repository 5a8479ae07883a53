// qtvctl refuses bad command lines with one clear line and exit status 2, before any port opens.
#include <gtest/gtest.h>

#include <string>

#include "support/ToolOutcome.h"

namespace {

ToolOutcome Qtvctl(const std::string& arguments) { return RunTool(QTVCTL_PROGRAM, arguments); }

int Lines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

void ExpectRefused(const std::string& arguments, const std::string& fragment) {
    const ToolOutcome out = Qtvctl(arguments);
    EXPECT_EQ(out.status, 2) << arguments << "\n" << out.output;
    EXPECT_NE(out.output.find(fragment), std::string::npos) << arguments << "\n" << out.output;
    EXPECT_EQ(Lines(out.output), 1) << out.output;
    EXPECT_EQ(out.output.find("SioErgebnis"), std::string::npos) << "nothing may be run";
}

// A ports folder that does not exist: should a check be missed, no real port is reached.
const std::string kNoPorts = "--ports /nonexistent-qtvctl-ports --port 97 ";

TEST(QtvctlArguments, helpListsEveryCommandAndSucceeds) {
    const ToolOutcome out = Qtvctl("--help");
    EXPECT_EQ(out.status, 0);
    for (const char* name : {"ReadMWert", "WriteSP1Wert", "WriteDTxt", "ReadRTCZeit", "ReadBroadcast", "ClearBFlag"})
        EXPECT_NE(out.output.find(name), std::string::npos) << name;
}

TEST(QtvctlArguments, nothingGivenIsRefused) { ExpectRefused("", "missing ADDRESS and COMMAND"); }

TEST(QtvctlArguments, unknownCommandIsRefused) { ExpectRefused(kNoPorts + "5 ReadNothing", "unknown command 'ReadNothing'"); }

TEST(QtvctlArguments, addressAbove31IsRefused) {
    ExpectRefused(kNoPorts + "32 ReadMWert", "address '32'");
    ExpectRefused(kNoPorts + "x5 ReadMWert", "address 'x5'");
}

TEST(QtvctlArguments, missingValueIsRefused) { ExpectRefused(kNoPorts + "5 WriteSP1Wert", "needs a value"); }

TEST(QtvctlArguments, extraValueIsRefused) {
    ExpectRefused(kNoPorts + "5 ReadMWert 3", "takes no value");
    ExpectRefused(kNoPorts + "5 WriteKomma 1 2", "too many arguments");
}

TEST(QtvctlArguments, valueOutOfRangeIsRefused) {
    ExpectRefused(kNoPorts + "5 WriteKomma 256", "from 0..255");
    ExpectRefused(kNoPorts + "5 WriteSP1Wert 65536", "from -32768..65535");
    ExpectRefused(kNoPorts + "5 WriteSP1Wert 12ab", "value '12ab'");
    ExpectRefused(kNoPorts + "5 WriteDTxt kWhx", "1 to 3 characters");
}

TEST(QtvctlArguments, badPortOptionsAreRefused) {
    ExpectRefused("--port 100 5 ReadMWert", "port '100'");
    ExpectRefused("--port 3 --device /dev/null 5 ReadMWert", "exclude each other");
    ExpectRefused("--speed 9600 5 ReadMWert", "unknown option '--speed'");
    ExpectRefused("5 ReadMWert --port", "--port needs an argument");
}

TEST(QtvctlArguments, parameterSetAndClockActionsAreCheckedBeforeAnyPortOpens) {
    ExpectRefused(kNoPorts + "5 backup", "backup needs a FILE");
    ExpectRefused(kNoPorts + "5 setclock now", "too many arguments after setclock");
    ExpectRefused(kNoPorts + "0 setclock", "address '0' is not a station address from 1 to 31");
    ExpectRefused(kNoPorts + "--broadcast 5 restore a.ini", "--broadcast cannot be used");
    ExpectRefused(kNoPorts + "--force 5 ReadMWert", "--force goes with restore only");
    ExpectRefused(kNoPorts + "--all 5 setclock", "--all goes with setclock alone");
}

TEST(QtvctlArguments, portThatCannotBeOpenedIsRefused) {
    ExpectRefused("--device /nonexistent-qtvctl-device 5 ReadMWert", "cannot open /nonexistent-qtvctl-device");
    ExpectRefused("--port 0 5 ReadMWert", "cannot open COM0");
}

}  // namespace
