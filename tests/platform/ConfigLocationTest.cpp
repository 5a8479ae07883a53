// Where the configuration file lies: beside the program in a folder that takes it, else per user.

#include "platform/ConfigLocation.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class ConfigLocation : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/tarvo-cfg-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        root_ = folder;
        if (const char* home = std::getenv("HOME")) home_ = home;
        ::setenv("XDG_CONFIG_HOME", (root_ / "xdg").c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(root_ / "bin", fs::perms::owner_all, ignored);
        fs::remove_all(root_, ignored);
        ::unsetenv("XDG_CONFIG_HOME");
        ::setenv("HOME", home_.c_str(), 1);
    }
    fs::path root_;
    std::string home_;
};

TEST_F(ConfigLocation, extensionIsReplacedOrAddedInTheFileNameOnly) {
    EXPECT_EQ(ConfigFileBesideProgram("/opt/t/tarvo.exe"), "/opt/t/tarvo.INI");
    EXPECT_EQ(ConfigFileBesideProgram("/opt/t/tarvo"), "/opt/t/tarvo.INI");
    EXPECT_EQ(ConfigFileBesideProgram("/opt/v1.2/tarvo"), "/opt/v1.2/tarvo.INI");
}

TEST_F(ConfigLocation, aFolderThatTakesTheFileKeepsItBesideTheProgram) {
    EXPECT_EQ(ConfigFileForProgram(root_ / "tarvo"), root_ / "tarvo.INI");
    EXPECT_FALSE(fs::exists(root_ / "xdg"));
}

TEST_F(ConfigLocation, aFolderThatCannotTakeItSendsItToThePrivatePerUserFolder) {
    std::ofstream(root_ / "bin");  // a plain file where the folder should be: even root cannot write there
    EXPECT_EQ(ConfigFileForProgram(root_ / "bin" / "tarvo"), root_ / "xdg" / "tarvo" / "tarvo.INI");
    EXPECT_EQ(fs::status(root_ / "xdg" / "tarvo").permissions(), fs::perms::owner_all);

    // An installed program, whoever runs it, root included.
    EXPECT_EQ(ConfigFileForProgram("/usr/bin/tarvo"), root_ / "xdg" / "tarvo" / "tarvo.INI");

    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // to be ignored: HOME's .config instead
    ::setenv("HOME", root_.c_str(), 1);
    EXPECT_EQ(ConfigFileForProgram(root_ / "bin" / "tarvo"), root_ / ".config" / "tarvo" / "tarvo.INI");
}

TEST_F(ConfigLocation, aFileAlreadyBesideTheProgramIsUsedWhereTheFolderTakesNoNewOne) {
    fs::create_directory(root_ / "bin");
    std::ofstream(root_ / "bin" / "tarvo.INI");
    fs::permissions(root_, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(root_ / "bin", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    // Root writes into any folder: the rule is looked at as nobody.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        const bool used = ConfigFileForProgram(root_ / "bin" / "tarvo") == root_ / "bin" / "tarvo.INI";
        ::unlink((root_ / "bin" / "tarvo.INI").c_str());  // refused: the folder is not ours
        ::_exit(used ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(root_ / "bin" / "tarvo.INI"));
}

}  // namespace
