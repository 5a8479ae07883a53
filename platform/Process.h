#pragma once
// Runs an outside program by argument vector (never through a shell) and waits for its exit code.

#include <functional>
#include <string>
#include <vector>

struct ProcessRequest {
    std::string program;             // a path, or a bare name looked up on the search path
    std::vector<std::string> args;   // arguments after the program name
    std::string workingDirectory;    // empty: the current one
};

// Exit code of the program; -1 when it could not be started or did not end normally.
int RunProcess(const ProcessRequest& request);

// Tests replace the runner to record the command lines; empty restores the real one.
void SetProcessRunner(std::function<int(const ProcessRequest&)> runner);

// The folder of the running program's file.
std::string ProgramFolder();

// The program `name` beside the running program's file when an executable file of that name is
// there, else `name` itself (for RunProcess to look up on the search path).
std::string ProgramBesideOrName(const std::string& name);
