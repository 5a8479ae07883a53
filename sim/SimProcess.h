#pragma once
// qtvsim as a child process, for the tests and the benchmarks that need the program itself:
// started with its arguments, awaited until it prints its ready line, steered through its control
// socket, stopped or killed. Every wait here is bounded; nothing is left running when the object
// goes. POSIX only, as the simulator program is.

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the program args[0] with the rest of `args`, plus "--control <controlPath>" unless
    // that is empty; true once it said it is serving, within `limit`. Otherwise false, with
    // error(), and the process (if it started) still there for stop() to collect.
    bool start(const std::vector<std::string>& args, const std::string& controlPath = {},
               std::chrono::milliseconds limit = std::chrono::seconds(10));
    // One control command, its one-line answer ("ok ..." / "error ..."), or "" when none came.
    std::string control(const std::string& command) const;
    // The number after "requests=" (or another key) in the answer of "query ADDR"; -1 if none.
    long queryNumber(int address, const std::string& key) const;
    void kill9();  // as a crash would end it: no clean-up of its link
    // The signal, then SIGKILL when it has not ended within `grace`; its exit status, or -1 when
    // it ended by a signal, had to be killed, or was not running.
    int stop(int signal = SIGTERM, std::chrono::milliseconds grace = std::chrono::seconds(5));
    bool running() const { return pid_ > 0; }
    const std::string& readyLine() const { return ready_; }
    const std::string& error() const { return error_; }

private:
    int reap(std::chrono::milliseconds limit);  // the raw wait status, or -1 while it runs

    pid_t pid_ = -1;
    int out_ = -1;
    std::string controlPath_;
    std::string ready_;
    std::string error_;
};

// One line to a control socket and its one-line answer, or "" when none came within `limit`.
std::string ControlLine(const std::string& socketPath, const std::string& line,
                        std::chrono::milliseconds limit = std::chrono::seconds(5));

// A free TCP port on 127.0.0.1 (bound once and released).
int FreeTcpPort();
