#pragma once
// The process-wide hooks, in one registry. They are of two kinds: the sources the main window
// installs for the parts below it (the active station, the port object, broadcast mode, the bus's
// poster, the link's hooks and listener), and the stand-ins a test puts in place of the system
// (the clocks, serial lines, message boxes, the help viewer, processes, host names, the ports
// folder, the answers of file and colour dialogs).
//
// Each owner keeps its hook beside the code that calls it, in its own floor, and registers here,
// once, how to take a snapshot of it. A ProcessHooksGuard takes the snapshot of every hook of its
// kinds when it is made and puts them all back when it goes: the main window for its sources,
// the test kit for every hook around each case, so that nobody removes hooks one by one.
//
//   namespace { [[maybe_unused]] const bool kHook = RegisterProcessHook(HookKind::StandIn, "wall clock", SnapshotOf(WallClock())); }
//   { ProcessHooksGuard hooks; SetWallClock(...); ... }   // the wall clock is as before again

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

enum class HookKind { Source, StandIn };

// Called, a snapshot returns what puts its hook back to the value the hook has now.
using HookSnapshot = std::function<std::function<void()>()>;

// Registers a hook, at the static initialisation of its owner's file; returns true.
bool RegisterProcessHook(HookKind kind, const char* name, HookSnapshot snapshot);

// The registered hooks of a kind, by name, in the order they registered.
std::vector<std::string> ProcessHookNames(HookKind kind);

// The snapshot of a hook held in one variable: a copy of it.
template <class T>
HookSnapshot SnapshotOf(T& hook) {
    return [&hook] { return std::function<void()>([&hook, saved = hook] { hook = saved; }); };
}

class ProcessHooksGuard {
public:
    explicit ProcessHooksGuard(std::initializer_list<HookKind> kinds = {HookKind::Source, HookKind::StandIn});
    ~ProcessHooksGuard() { Restore(); }
    ProcessHooksGuard(const ProcessHooksGuard&) = delete;
    ProcessHooksGuard& operator=(const ProcessHooksGuard&) = delete;

    // Puts every hook back now, in the reverse order of registration; afterwards the guard holds
    // nothing.
    void Restore();

private:
    std::vector<std::function<void()>> restore_;
};
