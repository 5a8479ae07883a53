// The serial device on a pseudo-terminal pair: the test holds the master (the "bus"), the line
// opens the slave through a ports folder as COM7.

#include "platform/PortPath.h"
#include "platform/PosixSerialLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
// The command-set port's time-outs, as the bus link gives them.
constexpr SerialTimeouts kCommandSetTimeouts{50, 1, 100, 1, 50};

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class SerialLineOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        char name[256] = {};
        ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        slavePath_ = name;
        ::tcgetattr(slave_, &original_);
        char folder[] = "/tmp/tarvo-ports-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        folder_ = folder;
        ASSERT_EQ(::symlink(slavePath_.c_str(), (folder_ + "/COM7").c_str()), 0);
        SetPortsFolder(folder_);
    }
    void TearDown() override {
        SetPortsFolder("");
        if (master_ >= 0) ::close(master_);
        ::close(slave_);
        std::system(("rm -rf " + folder_).c_str());
    }

    // The bytes the line sent, as far as they arrive within `ms`.
    std::string FromLine(std::size_t n, int ms = 500) {
        std::string got;
        const auto start = Clock::now();
        while (got.size() < n && MillisecondsSince(start) < ms) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            char buffer[256];
            const ssize_t k = ::read(master_, buffer, std::min(sizeof buffer, n - got.size()));
            if (k > 0) got.append(buffer, static_cast<std::size_t>(k));
        }
        return got;
    }
    void ToLine(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // An opened and configured line; its settings make the pty pass bytes through untouched.
    void OpenConfigured(PosixSerialLine& line, const SerialTimeouts& timeouts = kCommandSetTimeouts) {
        ASSERT_TRUE(line.open(7));
        ASSERT_TRUE(line.configure());
        line.setTimeouts(timeouts);
    }

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string folder_;
    termios original_{};
};

// --- Finding and opening the device ---------------------------------------------------------

TEST_F(SerialLineOnPty, portNumberOpensTheDeviceLinkedInThePortsFolder) {
    EXPECT_EQ(PortDevicePath(7), folder_ + "/COM7");
    PosixSerialLine line;
    EXPECT_TRUE(line.open(7));
    EXPECT_TRUE(line.isOpen());
}

TEST_F(SerialLineOnPty, portWithoutLinkFallsBackToTheSystemSerialDevice) {
    EXPECT_EQ(PortDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath(99), "/dev/ttyS98");
}

TEST_F(SerialLineOnPty, linkWhoseTargetIsGoneFailsInsteadOfOpeningARealPort) {
    ASSERT_EQ(::symlink("/nonexistent/pts/99", (folder_ + "/COM3").c_str()), 0);
    EXPECT_EQ(PortDevicePath(3), folder_ + "/COM3");
    PosixSerialLine line;
    EXPECT_FALSE(line.open(3));
}

// A simulator or bridge that restarts removes its link for a moment; meanwhile the number must not
// lead to the system's serial port of that number, or every telegram would go to that device.
TEST_F(SerialLineOnPty, numberOnceLinkedInThePortsFolderStaysThereWhileItsLinkIsAway) {
    PosixSerialLine line;
    ASSERT_TRUE(line.open(7));
    EXPECT_EQ(line.device(), folder_ + "/COM7");
    line.close();
    ASSERT_EQ(::unlink((folder_ + "/COM7").c_str()), 0);
    EXPECT_EQ(PortDevicePath(7), folder_ + "/COM7");
    EXPECT_FALSE(line.open(7));
    ASSERT_EQ(::symlink(slavePath_.c_str(), (folder_ + "/COM7").c_str()), 0);
    EXPECT_TRUE(line.open(7));
}

TEST_F(SerialLineOnPty, portZeroAndPortsFromHundredNeverOpen) {
    ASSERT_EQ(::symlink(slavePath_.c_str(), (folder_ + "/COM0").c_str()), 0);
    ASSERT_EQ(::symlink(slavePath_.c_str(), (folder_ + "/COM100").c_str()), 0);
    EXPECT_EQ(PortDevicePath(0), "");
    EXPECT_EQ(PortDevicePath(100), "");
    PosixSerialLine line;
    EXPECT_FALSE(line.open(0));
    EXPECT_FALSE(line.open(100));
    EXPECT_FALSE(line.isOpen());
}

// --- Exclusive use ------------------------------------------------------------------------------

TEST_F(SerialLineOnPty, secondOpenOfTheSamePortInThisProcessFails) {
    PosixSerialLine first, second;
    ASSERT_TRUE(first.open(7));
    EXPECT_FALSE(second.open(7));
    EXPECT_FALSE(second.isOpen());
}

TEST_F(SerialLineOnPty, secondOpenThroughAnotherPathOrLinkFails) {
    ASSERT_EQ(::symlink(slavePath_.c_str(), (folder_ + "/COM8").c_str()), 0);
    PosixSerialLine first, byPath, byOtherLink;
    ASSERT_TRUE(first.open(7));
    EXPECT_FALSE(byPath.openPath(slavePath_));
    EXPECT_FALSE(byOtherLink.open(8));
}

TEST_F(SerialLineOnPty, secondOpenFromAnotherProcessFails) {
    PosixSerialLine first;
    ASSERT_TRUE(first.open(7));
    const pid_t child = ::fork();
    if (child == 0) {
        PosixSerialLine other;
        ::_exit(other.open(7) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other process could open the port";
}

TEST_F(SerialLineOnPty, portIsFreeAgainAfterClose) {
    PosixSerialLine first, second;
    ASSERT_TRUE(first.open(7));
    first.close();
    EXPECT_TRUE(second.open(7));
}

// --- Line settings ------------------------------------------------------------------------------

TEST_F(SerialLineOnPty, configureApplies4800BaudRawEightBitsWithoutFlowControl) {
    PosixSerialLine line;
    ASSERT_TRUE(line.open(7));
    ASSERT_TRUE(line.configure());
    termios now{};
    ASSERT_EQ(::tcgetattr(slave_, &now), 0);
    EXPECT_EQ(::cfgetospeed(&now), static_cast<speed_t>(B4800));
    EXPECT_EQ(::cfgetispeed(&now), static_cast<speed_t>(B4800));
    EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(now.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(now.c_cflag & CLOCAL, 0u);
    EXPECT_NE(now.c_cflag & CREAD, 0u);
    EXPECT_EQ(now.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(now.c_iflag & (IXON | IXOFF | INPCK | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(now.c_oflag & OPOST, 0u);
}

TEST_F(SerialLineOnPty, closeRestoresTheSettingsFoundAtConfigure) {
    PosixSerialLine line;
    ASSERT_TRUE(line.open(7));
    ASSERT_TRUE(line.configure());
    line.close();
    termios now{};
    ASSERT_EQ(::tcgetattr(slave_, &now), 0);
    EXPECT_EQ(::cfgetospeed(&now), ::cfgetospeed(&original_));
    EXPECT_EQ(now.c_lflag & (ICANON | ECHO), original_.c_lflag & (ICANON | ECHO));
    EXPECT_EQ(now.c_oflag, original_.c_oflag);
}

TEST_F(SerialLineOnPty, deviceThatIsNoTerminalRefusesTheSettingsButStaysOpen) {
    PosixSerialLine line;
    ASSERT_TRUE(line.openPath("/dev/null"));
    EXPECT_FALSE(line.configure());
    EXPECT_TRUE(line.isOpen());
}

// A FIFO behind ports/COMn refuses the line settings, so the link applies no time-outs to it:
// reads and writes still end, after the line's own bound.
TEST_F(SerialLineOnPty, fifoWithoutTimeoutsNeverWaitsWithoutABound) {
    const std::string fifo = folder_ + "/COM5";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    PosixSerialLine line;
    ASSERT_TRUE(line.open(5));
    EXPECT_FALSE(line.configure());
    std::uint8_t byte = 0;
    auto start = Clock::now();
    EXPECT_EQ(line.read(&byte, 1), 0);
    EXPECT_LT(MillisecondsSince(start), 5000);
    const std::vector<std::uint8_t> flood(1 << 20, 0x55);  // far more than a pipe holds
    start = Clock::now();
    EXPECT_FALSE(line.write(flood.data(), flood.size()));
    EXPECT_LT(MillisecondsSince(start), 5000);
}

// --- Someone's terminal -------------------------------------------------------------------------

// A stale link to a pseudo-terminal number that now carries another session (a shell's): the
// port does not open, and the terminal keeps its settings and receives nothing.
TEST_F(SerialLineOnPty, anotherSessionsControllingTerminalIsNeverOpened) {
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // A session of its own whose controlling terminal is the pseudo-terminal.
        ::close(ready[0]);
        ::close(release[1]);
        ::setsid();
        const int fd = ::open(slavePath_.c_str(), O_RDWR);
        const char ok = (fd >= 0 && ::tcgetsid(fd) == ::getpid()) ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        char c = 0;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1') << "the child has no session on the terminal";

    PosixSerialLine line;
    EXPECT_FALSE(line.open(7));
    EXPECT_FALSE(line.isOpen());
    termios now{};
    ASSERT_EQ(::tcgetattr(slave_, &now), 0);
    EXPECT_EQ(now.c_lflag, original_.c_lflag);
    EXPECT_EQ(now.c_cflag, original_.c_cflag);
    EXPECT_EQ(FromLine(1, 100), "");

    ::close(release[1]);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ::close(ready[0]);
    EXPECT_TRUE(line.open(7)) << "with the session gone the terminal is free again";
}

// --- Bytes both ways, RTS -----------------------------------------------------------------------

TEST_F(SerialLineOnPty, writtenBytesReachTheOtherEndUnchanged) {
    PosixSerialLine line;
    OpenConfigured(line);
    const std::uint8_t frame[] = {0x02, 0x05, 0x04, 0x0A, 0x0D, 0x00};
    ASSERT_TRUE(line.write(frame, sizeof frame));
    EXPECT_EQ(FromLine(sizeof frame), std::string(reinterpret_cast<const char*>(frame), sizeof frame));
}

TEST_F(SerialLineOnPty, rtsOnADeviceWithoutModemLinesIsIgnored) {
    PosixSerialLine line;
    OpenConfigured(line);
    line.setRts(true);
    line.setRts(false);
    EXPECT_FALSE(line.deviceGone());
    const std::uint8_t ack = 0x06;
    EXPECT_TRUE(line.write(&ack, 1));
    EXPECT_EQ(FromLine(1), "\x06");
}

TEST_F(SerialLineOnPty, writeGivesUpAfterItsTotalTimeWhenNobodyReads) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{50, 1, 100, 0, 150});
    const std::vector<std::uint8_t> flood(1 << 20, 0x55);  // far more than a pty buffers
    const auto start = Clock::now();
    EXPECT_FALSE(line.write(flood.data(), flood.size()));
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_FALSE(line.deviceGone());
}

// --- Read time-outs -----------------------------------------------------------------------------

TEST_F(SerialLineOnPty, singleByteReadOnAnIdleLineReturnsNothingAfterTheTotalTime) {
    PosixSerialLine line;
    OpenConfigured(line);  // 50 / 1 / 100: 101 ms for one byte
    std::uint8_t byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(line.read(&byte, 1), 0);
    const long ms = MillisecondsSince(start);
    EXPECT_GE(ms, 90);
    EXPECT_LE(ms, 300);
    EXPECT_FALSE(line.deviceGone());
}

TEST_F(SerialLineOnPty, readReturnsAtOnceWhenAllBytesAreThere) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{50, 1, 2000, 1, 50});
    ToLine("\x02\x05\x05\x01\x02\x0F");
    std::uint8_t answer[6] = {};
    const auto start = Clock::now();
    EXPECT_EQ(line.read(answer, 6), 6);
    EXPECT_LT(MillisecondsSince(start), 1000);
    EXPECT_EQ(answer[5], 0x0F);
}

TEST_F(SerialLineOnPty, readEndsWhenTheIntervalAfterTheLastByteRunsOut) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{50, 0, 3000, 1, 50});
    ToLine("\x02\x05");
    std::uint8_t answer[10] = {};
    const auto start = Clock::now();
    EXPECT_EQ(line.read(answer, 10), 2);
    EXPECT_LT(MillisecondsSince(start), 1500) << "waited for the total time, not the interval";
}

TEST_F(SerialLineOnPty, intervalCountsOnlyOnceTheFirstByteHasCome) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{50, 0, 3000, 1, 50});
    std::thread peer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // six intervals of silence
        ToLine("\x06");
    });
    std::uint8_t answer[4] = {};
    EXPECT_EQ(line.read(answer, 4), 1);
    peer.join();
    EXPECT_EQ(answer[0], 0x06);
}

TEST_F(SerialLineOnPty, bytesComingCloserThanTheIntervalAreAllCollected) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{200, 0, 5000, 1, 50});
    std::thread peer([this] {
        for (char c : std::string("\x02\x05\x05\x01\x02")) {
            ToLine(std::string(1, c));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    std::uint8_t answer[5] = {};
    EXPECT_EQ(line.read(answer, 5), 5);
    peer.join();
}

TEST_F(SerialLineOnPty, totalTimeEndsAReadThatGotOnlyPartOfItsBytes) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{0, 1, 100, 1, 50});  // no interval: 103 ms for 3 bytes
    ToLine("\x02");
    std::uint8_t answer[3] = {};
    const auto start = Clock::now();
    EXPECT_EQ(line.read(answer, 3), 1);
    const long ms = MillisecondsSince(start);
    EXPECT_GE(ms, 90);
    EXPECT_LE(ms, 400);
}

// --- A device that goes away --------------------------------------------------------------------

TEST_F(SerialLineOnPty, hungUpLineFailsReadsAndWritesAtOnce) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{50, 1, 5000, 1, 5000});
    ::close(master_);
    master_ = -1;
    std::uint8_t byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(line.read(&byte, 1), -1);
    EXPECT_TRUE(line.deviceGone());
    EXPECT_FALSE(line.write(&byte, 1));
    EXPECT_EQ(line.read(&byte, 1), -1);
    EXPECT_LT(MillisecondsSince(start), 1000);
}

TEST_F(SerialLineOnPty, hangUpDuringAWaitingReadEndsIt) {
    PosixSerialLine line;
    OpenConfigured(line, SerialTimeouts{50, 1, 5000, 1, 50});
    std::thread peer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::close(master_);
        master_ = -1;
    });
    std::uint8_t byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(line.read(&byte, 1), -1);
    peer.join();
    EXPECT_LT(MillisecondsSince(start), 2500);
    EXPECT_TRUE(line.deviceGone());
}

TEST_F(SerialLineOnPty, lineThatIsNotOpenFailsWithoutWaiting) {
    PosixSerialLine line;
    std::uint8_t byte = 0;
    EXPECT_EQ(line.read(&byte, 1), -1);
    EXPECT_FALSE(line.write(&byte, 1));
    line.setRts(true);
    line.close();
    EXPECT_FALSE(line.isOpen());
}

}  // namespace
