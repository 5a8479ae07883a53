#include "platform/Process.h"

#include "platform/SystemProcess.h"

#include <utility>

namespace {

std::function<int(const ProcessRequest&)>& Runner() {
    static std::function<int(const ProcessRequest&)> runner;
    return runner;
}

}  // namespace

int RunProcess(const ProcessRequest& request) {
    const auto& runner = Runner();
    return runner ? runner(request) : SystemRun(request);
}

void SetProcessRunner(std::function<int(const ProcessRequest&)> runner) { Runner() = std::move(runner); }
