// The simulator's control socket against clients that misbehave: one that sends but never reads
// its answers, and a flood of connections beyond the descriptors left. Neither may hold the loop
// that also serves the bus.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"
#include "sim/ControlSocket.h"

namespace {

int Connect(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// One turn of the simulator's loop for the control socket alone.
std::size_t Turn(ControlSocket& socket, int timeoutMs = 10) {
    std::vector<pollfd> fds;
    socket.addPollFds(fds);
    if (::poll(fds.data(), fds.size(), timeoutMs) > 0) socket.service(fds);
    return fds.size();
}

TEST(ControlSocket, clientThatNeverReadsIsDroppedAndOthersAreStillAnswered) {
    ::alarm(30);  // a send that blocks would hold the test here
    TempFolder folder;
    const std::string path = folder.path() + "/control";
    ControlSocket socket;
    ASSERT_EQ(socket.open(path, [](const std::string& line) { return std::string(1000, 'a') + line; }), "");

    const int greedy = Connect(path);
    ASSERT_GE(greedy, 0);
    std::string commands;
    for (int i = 0; i < 2000; ++i) commands += "x\n";  // two megabytes of answers, never read
    ASSERT_EQ(::write(greedy, commands.data(), commands.size()), ssize_t(commands.size()));
    for (int i = 0; i < 50; ++i) Turn(socket);

    const int polite = Connect(path);
    ASSERT_GE(polite, 0);
    ASSERT_EQ(::write(polite, "y\n", 2), 2);
    std::string answer;
    for (int i = 0; i < 200 && answer.find('\n') == std::string::npos; ++i) {
        Turn(socket);
        char buffer[2048];
        const ssize_t n = ::recv(polite, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) answer.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(answer, std::string(1000, 'a') + "y\n");

    std::size_t received = 0;  // until the end of its connection: it was dropped, answers unsent
    for (ssize_t n; (n = ::read(greedy, commands.data(), commands.size())) > 0;) received += std::size_t(n);
    EXPECT_LT(received, 2000u * 1001u);
    ::close(greedy);
    ::close(polite);
    ::alarm(0);
}

TEST(ControlSocket, acceptWithoutDescriptorsLeftRestsTheListenerInsteadOfSpinning) {
    TempFolder folder;
    const std::string path = folder.path() + "/control";
    const pid_t child = ::fork();
    if (child == 0) {
        ControlSocket socket;
        if (!socket.open(path, [](const std::string&) { return std::string("ok"); }).empty()) ::_exit(1);
        const int waiting = Connect(path);
        if (waiting < 0) ::_exit(2);
        const rlimit few{64, 64};
        if (::setrlimit(RLIMIT_NOFILE, &few) != 0) ::_exit(3);
        std::vector<int> spent;
        for (int fd; (fd = ::dup(waiting)) >= 0;) spent.push_back(fd);
        if (Turn(socket) != 1) ::_exit(4);  // the listener is polled, its accept fails
        if (Turn(socket) != 0) ::_exit(5);  // and then it rests
        ::close(spent.back());
        std::this_thread::sleep_for(std::chrono::milliseconds(250));  // longer than the first rest
        if (Turn(socket) != 1) ::_exit(6);  // polled again: the connection is taken now
        if (Turn(socket) != 2) ::_exit(7);  // the listener and the new client
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failed at step " << WEXITSTATUS(status);
}

}  // namespace
