// The one rule for the operator's files: every hostile name is refused by the reader and by the
// atomic replace, and left exactly as it was.

#include "platform/AtomicFile.h"
#include "platform/PlainFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>

namespace {

struct Hostile {
    const char* what;
    std::function<void(const std::string& folder, const std::string& name)> make;
    PlainFile state;
};

std::string Text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PlainFile, hostileNamesAreRefusedAndLeftAsTheyAre) {
    char made[] = "/tmp/tarvo-plain-XXXXXX";
    ASSERT_NE(::mkdtemp(made), nullptr);
    const std::string folder = made;
    std::ofstream(folder + "/victim.txt") << "fremd";
    std::ofstream(folder + "/05061226.QTV") << "14:03:27 00.05 bar\r\n";
    const Hostile table[] = {
        {"link to a file", [](auto& f, auto& n) { (void)::symlink((f + "/victim.txt").c_str(), n.c_str()); }, PlainFile::Link},
        {"link to a recording", [](auto&, auto& n) { (void)::symlink("05061226.QTV", n.c_str()); }, PlainFile::Link},
        {"dangling link", [](auto&, auto& n) { (void)::symlink("nowhere", n.c_str()); }, PlainFile::Link},
        {"FIFO", [](auto&, auto& n) { (void)::mkfifo(n.c_str(), 0666); }, PlainFile::Special},
        {"device by a link", [](auto&, auto& n) { (void)::symlink("/dev/null", n.c_str()); }, PlainFile::Link},
        {"folder", [](auto&, auto& n) { (void)::mkdir(n.c_str(), 0777); }, PlainFile::Folder},
    };
    int i = 0;
    for (const Hostile& h : table) {
        SCOPED_TRACE(h.what);
        const std::string name = folder + "/name" + std::to_string(i++);
        h.make(folder, name);
        struct stat before {};
        ASSERT_EQ(::lstat(name.c_str(), &before), 0);
        std::string bytes;
        EXPECT_EQ(ReadPlainFile(name, bytes, 1 << 20), h.state);  // returns at once: never blocks
        EXPECT_EQ(bytes, "");
        EXPECT_FALSE(ReplaceFileAtomically(name, "neu"));
        AtomicFileWriter writer;
        EXPECT_FALSE(writer.Open(name));
        struct stat after {};
        ASSERT_EQ(::lstat(name.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_NE(PlainFileRefusal(h.state, name, Speech::German), "");
    }
    EXPECT_EQ(Text(folder + "/victim.txt"), "fremd");
    EXPECT_EQ(Text(folder + "/05061226.QTV"), "14:03:27 00.05 bar\r\n");
    std::string bytes;
    EXPECT_EQ(ReadPlainFile("/dev/null", bytes, 1 << 20), PlainFile::Special);  // a device itself
    EXPECT_EQ(ReadPlainFile(folder + "/victim.txt", bytes, 4), PlainFile::TooLarge);
    EXPECT_EQ(ReadPlainFile(folder + "/victim.txt", bytes, 5), PlainFile::Regular);
    EXPECT_EQ(bytes, "fremd");
    EXPECT_EQ(LinkDestination(folder + "/name1"), folder + "/05061226.QTV");
    std::system(("rm -rf " + folder).c_str());
}

}  // namespace
