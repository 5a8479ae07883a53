#include "link/LinkEvents.h"

#include <utility>

#include "platform/ProcessHooks.h"

namespace {
LinkEvents g_events;
[[maybe_unused]] const bool kEventsHook = RegisterProcessHook(HookKind::Source, "link events", SnapshotOf(g_events));
constexpr std::uint8_t kWriteBit = 0x80;
constexpr std::uint8_t kHeaderLength = 4;  // STX, address, L, code
}  // namespace

void SetLinkEvents(LinkEvents events) {
    g_events = std::move(events);
}

const LinkEvents& GetLinkEvents() { return g_events; }

void ReportWrite(const std::uint8_t* request, bool ok) {
    if (!g_events.written || (request[3] & kWriteBit) == 0) return;
    WrittenParameter w;
    w.address = request[1];
    w.code = request[3];
    w.data = request + kHeaderLength;
    w.dataCount = request[2] > kHeaderLength ? request[2] - kHeaderLength : 0;
    w.ok = ok;
    g_events.written(w);
}

void ReportJobFailure(const std::string& what) {
    if (g_events.jobFailed) g_events.jobFailed(what);
}
