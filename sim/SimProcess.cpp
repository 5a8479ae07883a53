#include "sim/SimProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

int MillisecondsLeft(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// One line from fd, or "" when none came before the deadline.
std::string ReadLine(int fd, Clock::time_point end) {
    std::string line;
    while (true) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, MillisecondsLeft(end)) <= 0) return {};
        char c = 0;
        if (::read(fd, &c, 1) != 1) return {};
        if (c == '\n') return line;
        line += c;
    }
}

pid_t Spawn(const std::vector<std::string>& args, int stdoutFd) {
    if (args.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

SimProcess::~SimProcess() { stop(); }

bool SimProcess::start(const std::vector<std::string>& args, const std::string& controlPath,
                       std::chrono::milliseconds limit) {
    stop();
    error_.clear();
    ready_.clear();
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        error_ = "no pipe";
        return false;
    }
    std::vector<std::string> all = args;
    if (!controlPath.empty()) {
        all.push_back("--control");
        all.push_back(controlPath);
        ::unlink(controlPath.c_str());  // one that a killed simulator left behind
    }
    pid_ = Spawn(all, pipeFds[1]);
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
    controlPath_ = controlPath;
    if (pid_ <= 0) {
        error_ = "could not start " + (args.empty() ? std::string("nothing") : args[0]);
        return false;
    }
    ready_ = ReadLine(out_, Clock::now() + limit);
    if (ready_.rfind("qtvsim: serving", 0) == 0) return true;
    error_ = "no ready line (got '" + ready_ + "')";
    return false;
}

std::string SimProcess::control(const std::string& command) const { return ControlLine(controlPath_, command, 2s); }

long SimProcess::queryNumber(int address, const std::string& key) const {
    const std::string answer = control("query " + std::to_string(address));
    const std::size_t at = answer.find(" " + key + "=");
    if (at == std::string::npos) return -1;
    return std::strtol(answer.c_str() + at + key.size() + 2, nullptr, 10);
}

void SimProcess::kill9() { stop(SIGKILL, 2s); }

int SimProcess::stop(int signal, std::chrono::milliseconds grace) {
    int status = -1;
    if (pid_ > 0) {
        ::kill(pid_, signal);
        status = reap(grace);
        if (status < 0 && pid_ > 0) {
            ::kill(pid_, SIGKILL);
            reap(2s);
        }
    }
    if (out_ >= 0) ::close(out_);
    out_ = -1;
    return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int SimProcess::reap(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (pid_ > 0) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status;
        }
        if (Clock::now() >= end) return -1;
        std::this_thread::sleep_for(10ms);
    }
    return -1;
}

std::string ControlLine(const std::string& socketPath, const std::string& line, std::chrono::milliseconds limit) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string text = line + "\n";
        if (::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()))
            answer = ReadLine(fd, Clock::now() + limit);
    }
    ::close(fd);
    return answer;
}

int FreeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = -1;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}
