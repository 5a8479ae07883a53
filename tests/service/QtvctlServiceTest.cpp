// qtvctl's actions as a program against qtvsim on a pseudo-terminal: a clock set from the PC's
// real clock, and a file that holds no parameter set. (The actions themselves are tested
// in-process and in virtual time by QtvctlActionsTest; each exchange here costs real time.)

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "../sim/QtvsimProcess.h"

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

int Lines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

class QtvctlActions : public ::testing::Test {
protected:
    void SetUp() override {
        ports = folder.path() + "/ports";
        ASSERT_TRUE(sim.start(QTVSIM_PATH, {"--link", ports + "/COM1", "--control", folder.path() + "/control"}))
            << sim.error();
        file = folder.path() + "/set.ini";
    }
    Outcome Qtvctl(const std::string& arguments) {
        const std::string command =
            std::string("'") + QTVCTL_PROGRAM + "' --ports '" + ports + "' " + arguments + " 2>&1 </dev/null";
        Outcome out;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return out;
        std::array<char, 512> chunk{};
        while (std::fgets(chunk.data(), chunk.size(), pipe)) out.output += chunk.data();
        const int raw = ::pclose(pipe);
        out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return out;
    }

    TempFolder folder;
    std::string ports;
    std::string file;
    QtvsimProcess sim;
};

}  // namespace

TEST_F(QtvctlActions, aFileWithoutASetIsRefused) {
    std::ofstream(file) << "[Form]\n";
    const Outcome out = Qtvctl("2 compare '" + file + "'");
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.output.find("holds no readable parameter set"), std::string::npos) << out.output;
}

TEST_F(QtvctlActions, aClockIsSetFromThePcs) {
    const Outcome out = Qtvctl("3 setclock");
    EXPECT_EQ(out.status, 0) << out.output;
    EXPECT_EQ(Lines(out.output), 1) << out.output;
    EXPECT_NE(out.output.find("station  3: clock "), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("; set (deviation after "), std::string::npos) << out.output;
    EXPECT_EQ(Qtvctl("9 setclock").status, 1);
}
