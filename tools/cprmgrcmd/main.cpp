// cprmgrcmd: registers and removes the mapping of a network device server's serial port onto a
// local port number (see Arguments.h for the command lines, Service.h for the exit codes).

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Service.h"
#include "platform/FileSizeLimit.h"
#include "platform/ProgramVersion.h"

int main(int argc, char** argv) {
    if (PrintVersionWhenAsked(argc, argv, "cprmgrcmd")) return kExitOk;
    // Whatever the caller left open (a serial port with its lock, a socket) must not live on in
    // the bridge: a lock held there would keep the program from reopening its own port.
    ::close_range(3, ~0U, 0);
    IgnoreFileSizeLimitSignal();  // the pid file

    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto cmd = ParseArguments(args, error);
    if (!cmd) {
        std::fprintf(stderr, "cprmgrcmd: %s (cprmgrcmd --help)\n", error.c_str());
        return kExitUsage;
    }
    switch (cmd->kind) {
        case ToolCommand::Add:
            return AddService(*cmd);
        case ToolCommand::Remove:
            return RemoveService(*cmd);
        case ToolCommand::Help:
            std::fputs(kUsage, stdout);
            return kExitOk;
    }
    return kExitUsage;
}
