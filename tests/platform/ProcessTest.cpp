// Starting an outside program by argument vector and waiting for its exit code.

#include "platform/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

class ProcessInFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/tarvo-proc-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        folder_ = folder;
    }
    void TearDown() override { std::system(("rm -rf " + folder_).c_str()); }
    std::string Read(const std::string& name) const {
        std::ifstream in(folder_ + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return ::access((folder_ + "/" + name).c_str(), F_OK) == 0; }

    std::string folder_;
};

TEST_F(ProcessInFolder, shellCharactersReachTheProgramAsOneArgumentAndRunNothing) {
    const std::string hostile = "x; touch pwned $(touch pwned2) `touch pwned3` | cat > pwned4";
    // sh -c 'script' name arg: the script writes its first argument; the argument itself is data.
    const int code = RunProcess({"/bin/sh", {"-c", "printf '%s|%s' \"$1\" \"$#\" > out", "sh", hostile}, folder_});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Read("out"), hostile + "|1");
    EXPECT_FALSE(Exists("pwned"));
    EXPECT_FALSE(Exists("pwned2"));
    EXPECT_FALSE(Exists("pwned3"));
    EXPECT_FALSE(Exists("pwned4"));
}

TEST_F(ProcessInFolder, exitCodeOfTheProgramIsReturned) {
    EXPECT_EQ(RunProcess({"/bin/sh", {"-c", "exit 0"}, ""}), 0);
    EXPECT_EQ(RunProcess({"/bin/sh", {"-c", "exit 3"}, ""}), 3);
    EXPECT_EQ(RunProcess({"false", {}, ""}), 1) << "a bare name is looked up on the search path";
}

TEST_F(ProcessInFolder, programThatCannotBeStartedGivesMinusOne) {
    EXPECT_EQ(RunProcess({folder_ + "/CprMgrCmd.EXE", {"remservice"}, ""}), -1);
    EXPECT_EQ(RunProcess({"no-such-program-anywhere", {}, ""}), -1);
    EXPECT_EQ(RunProcess({"", {}, ""}), -1);
    EXPECT_EQ(RunProcess({"/bin/true", {}, folder_ + "/missing-folder"}), -1);
}

TEST_F(ProcessInFolder, programKilledByASignalGivesMinusOne) {
    EXPECT_EQ(RunProcess({"/bin/sh", {"-c", "kill -9 $$"}, ""}), -1);
}

TEST_F(ProcessInFolder, programRunsInTheRequestedWorkingDirectory) {
    EXPECT_EQ(RunProcess({"/bin/sh", {"-c", "pwd > here"}, folder_}), 0);
    char resolved[4096];
    ASSERT_NE(::realpath(folder_.c_str(), resolved), nullptr);
    EXPECT_EQ(Read("here"), std::string(resolved) + "\n");
}

TEST_F(ProcessInFolder, installedRunnerReceivesTheRequestInsteadOfTheSystem) {
    ProcessRequest seen;
    SetProcessRunner([&](const ProcessRequest& r) {
        seen = r;
        return 7;
    });
    EXPECT_EQ(RunProcess({"CprMgrCmd.EXE", {"addservice", "host"}, ""}), 7);
    SetProcessRunner({});
    EXPECT_EQ(seen.args.size(), 2u);
    EXPECT_EQ(RunProcess({"/bin/sh", {"-c", "exit 5"}, ""}), 5);
}

TEST(ProgramFolder, isTheFolderOfTheRunningTestProgram) {
    const std::string folder = ProgramFolder();
    EXPECT_EQ(::access((folder + "/platform_files_test").c_str(), X_OK), 0) << folder;
}

}  // namespace
