#include "platform/SerialLine.h"

#include "platform/PosixSerialLine.h"

#include <utility>

namespace {
SerialLineFactory g_factory;
}

void SetSerialLineFactory(SerialLineFactory factory) { g_factory = std::move(factory); }

std::unique_ptr<SerialLine> NewSerialLine() {
    if (g_factory) return g_factory();
    return std::make_unique<PosixSerialLine>();
}
