#include "platform/Process.h"

#include "platform/ProcessHooks.h"
#include "platform/SystemProcess.h"

#include <utility>

namespace {

std::function<int(const ProcessRequest&)>& Runner() {
    static std::function<int(const ProcessRequest&)> runner;
    return runner;
}
[[maybe_unused]] const bool kRunnerHook = RegisterProcessHook(HookKind::StandIn, "process runner", SnapshotOf(Runner()));

}  // namespace

int RunProcess(const ProcessRequest& request) {
    const auto& runner = Runner();
    return runner ? runner(request) : SystemRun(request);
}

void SetProcessRunner(std::function<int(const ProcessRequest&)> runner) { Runner() = std::move(runner); }
