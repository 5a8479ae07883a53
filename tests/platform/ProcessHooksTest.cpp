// The registry of process-wide hooks: a guard puts back every hook of its kinds, in whatever
// state the case left it, nested guards unwind in order, and a guard of the window's sources
// leaves the tests' stand-ins alone.
#include <gtest/gtest.h>

#include <string>

#include "platform/Clock.h"
#include "platform/Net.h"
#include "platform/ProcessHooks.h"

namespace {

int g_source = 0;  // a source of this test's own, registered as the program's are
[[maybe_unused]] const bool kSourceHook = RegisterProcessHook(HookKind::Source, "test source", SnapshotOf(g_source));

LocalDateTime At(int hour) {
    LocalDateTime t;
    t.year = 1999;  // a year the system's clock never shows
    t.month = 3;
    t.day = 1;
    t.hour = hour;
    return t;
}

TEST(ProcessHooks, guardPutsBackEveryHookAndNestedGuardsUnwindInOrder) {
    {
        ProcessHooksGuard outer;
        SetWallClock([] { return At(7); });
        g_source = 1;
        {
            ProcessHooksGuard inner;
            SetWallClock([] { return At(9); });
            SetHostResolver([](const std::string&) { return Ipv4Address{{10, 0, 0, 1}}; });
            g_source = 2;
        }
        EXPECT_EQ(LocalNow().hour, 7);
        EXPECT_EQ(g_source, 1);
        EXPECT_EQ(ResolveHostIpv4("10.0.0.2"), (Ipv4Address{{10, 0, 0, 2}}));  // the system's resolver again
    }
    EXPECT_EQ(g_source, 0);
    EXPECT_NE(LocalNow().year, 1999);  // the system's clock again
}

TEST(ProcessHooks, aGuardOfTheSourcesLeavesTheStandInsAlone) {
    ProcessHooksGuard all;
    {
        ProcessHooksGuard sources{HookKind::Source};
        g_source = 3;
        SetWallClock([] { return At(11); });
    }
    EXPECT_EQ(g_source, 0);
    EXPECT_EQ(LocalNow().hour, 11);
    EXPECT_NE(ProcessHookNames(HookKind::StandIn).size(), 0u);
    EXPECT_EQ(ProcessHookNames(HookKind::Source).back(), "test source");
}

}  // namespace
