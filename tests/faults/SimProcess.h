#pragma once
// qtvsim as a child process of a fault test: started on a pseudo-terminal link or a TCP port,
// awaited until it prints its ready line, steered through its control socket, stopped or killed.
// Every wait here is bounded; nothing is left running when the object goes.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts qtvsim with `args` plus "--control <controlPath>"; true once it said it is serving.
    bool start(const std::vector<std::string>& args, const std::string& controlPath,
               std::chrono::milliseconds limit = std::chrono::seconds(5));
    // One control command, its one-line answer ("ok ..." / "error ..."), or "" when none came.
    std::string control(const std::string& command) const;
    // The number after "requests=" (or another key) in the answer of "query ADDR"; -1 if none.
    long queryNumber(int address, const std::string& key) const;
    void kill9();  // as a crash would end it: no clean-up of its link
    void stop();   // SIGTERM, then SIGKILL after a second
    bool running() const { return pid_ > 0; }
    const std::string& readyLine() const { return ready_; }

private:
    void reap(std::chrono::milliseconds limit);

    pid_t pid_ = -1;
    int out_ = -1;
    std::string controlPath_;
    std::string ready_;
};

// Runs a program to its end (at most `limit`), returns its exit code, -1 if it did not end.
int RunToEnd(const std::vector<std::string>& argv, std::chrono::milliseconds limit = std::chrono::seconds(10));

// A free TCP port on 127.0.0.1 (bound once and released).
int FreeTcpPort();
