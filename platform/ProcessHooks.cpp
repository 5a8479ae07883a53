#include "platform/ProcessHooks.h"

#include <utility>

namespace {

struct RegisteredHook {
    HookKind kind;
    const char* name;
    HookSnapshot snapshot;
};

// Filled during static initialisation, from whichever file comes first: made on first use.
std::vector<RegisteredHook>& Registry() {
    static std::vector<RegisteredHook> hooks;
    return hooks;
}

}  // namespace

bool RegisterProcessHook(HookKind kind, const char* name, HookSnapshot snapshot) {
    Registry().push_back({kind, name, std::move(snapshot)});
    return true;
}

std::vector<std::string> ProcessHookNames(HookKind kind) {
    std::vector<std::string> names;
    for (const RegisteredHook& hook : Registry())
        if (hook.kind == kind) names.emplace_back(hook.name);
    return names;
}

ProcessHooksGuard::ProcessHooksGuard(std::initializer_list<HookKind> kinds) {
    for (const RegisteredHook& hook : Registry()) {
        for (HookKind kind : kinds)
            if (hook.kind == kind) restore_.push_back(hook.snapshot());
    }
}

void ProcessHooksGuard::Restore() {
    for (auto it = restore_.rbegin(); it != restore_.rend(); ++it) (*it)();
    restore_.clear();
}
