#pragma once
// Runs qtvsim for a test: starts it in a fresh temporary folder, waits for its ready line,
// talks to its control socket, and stops it with SIGTERM.

#include <string>
#include <vector>

#include <csignal>
#include <sys/types.h>

class QtvsimProcess {
public:
    QtvsimProcess() = default;
    ~QtvsimProcess();
    QtvsimProcess(const QtvsimProcess&) = delete;
    QtvsimProcess& operator=(const QtvsimProcess&) = delete;

    // Starts `program` with the arguments; false (with error()) when it does not report ready
    // within 10 s. The ready line is kept.
    bool start(const std::string& program, const std::vector<std::string>& args);
    // The signal (SIGTERM unless told), then waits up to 5 s; returns the exit status (-1 when it
    // ended by a signal or had to be killed).
    int stop(int signal = SIGTERM);
    bool running() const { return pid_ > 0; }

    const std::string& readyLine() const { return readyLine_; }
    const std::string& error() const { return error_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string readyLine_;
    std::string error_;
};

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Sends one line to a control socket and returns the answer line (without newline), or
// "no answer" when the socket cannot be reached.
std::string Tell(const std::string& socketPath, const std::string& line);
