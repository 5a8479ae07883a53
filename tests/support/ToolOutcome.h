#pragma once
// A command-line tool run as the operator's shell would, for the tests of its command line: its
// exit status and what it printed (standard output and standard error together), with nothing
// on its standard input.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

struct ToolOutcome {
    int status = -1;  // the exit status; -1 when the tool did not end by itself
    std::string output;
};

// `arguments` is shell text: quoted as the test needs it.
inline ToolOutcome RunTool(const char* program, const std::string& arguments) {
    std::string command = "'";
    command += program;
    command += "' " + arguments + " 2>&1 </dev/null";
    ToolOutcome out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe)) out.output += chunk.data();
    const int raw = ::pclose(pipe);
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}
