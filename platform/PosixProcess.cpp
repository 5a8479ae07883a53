#include "platform/SystemProcess.h"

#include <cerrno>
#include <climits>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace {

// Ends the child's argument vector and holds the strings it points into.
std::vector<char*> ArgumentVector(const ProcessRequest& request) {
    std::vector<char*> argv;
    argv.reserve(request.args.size() + 2);
    argv.push_back(const_cast<char*>(request.program.c_str()));
    for (const std::string& arg : request.args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

int WaitForExit(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

// posix_spawnp: the program by path, or by bare name on the search path; arguments go to it
// one by one, so no shell ever sees them. glibc reports a program or folder that is missing as
// the spawn's own error, so "could not be started" needs no side channel.
int SystemRun(const ProcessRequest& request) {
    if (request.program.empty()) return -1;
    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0) return -1;
    if (!request.workingDirectory.empty() &&
        ::posix_spawn_file_actions_addchdir_np(&actions, request.workingDirectory.c_str()) != 0) {
        ::posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    std::vector<char*> argv = ArgumentVector(request);
    pid_t child = 0;
    const int failed = ::posix_spawnp(&child, request.program.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return -1;
    return WaitForExit(child);
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string file(path, static_cast<std::size_t>(length));
    const auto slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

std::string ProgramBesideOrName(const std::string& name) {
    const std::string beside = ProgramFolder() + "/" + name;
    struct stat info {};
    if (::stat(beside.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(beside.c_str(), X_OK) == 0)
        return beside;
    return name;
}
