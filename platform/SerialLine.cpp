#include "platform/SerialLine.h"

#include "platform/ProcessHooks.h"
#include "platform/SystemSerialLine.h"

#include <utility>

namespace {
SerialLineFactory g_factory;
[[maybe_unused]] const bool kFactoryHook = RegisterProcessHook(HookKind::StandIn, "serial line factory", SnapshotOf(g_factory));
}

void SetSerialLineFactory(SerialLineFactory factory) { g_factory = std::move(factory); }

std::unique_ptr<SerialLine> NewSerialLine() {
    if (g_factory) return g_factory();
    return NewSystemSerialLine();
}
