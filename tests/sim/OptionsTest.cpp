// The simulator's command line.
#include <gtest/gtest.h>

#include "sim/Options.h"

namespace {

std::string Parse(std::vector<std::string> args, Options& o) { return ParseOptions(args, o); }

TEST(CommandLine, withoutAttachmentTheLinkIsPortsCom1) {
    Options o;
    EXPECT_EQ(Parse({}, o), "");
    EXPECT_EQ(o.linkPath, "ports/COM1");
}

TEST(CommandLine, tcpAddressWithAndWithoutHost) {
    Options o;
    EXPECT_EQ(Parse({"--tcp", ":10001", "--baud-pacing", "--reply-delay", "5"}, o), "");
    EXPECT_EQ(o.tcpHost, "127.0.0.1");
    EXPECT_EQ(o.tcpPort, 10001);
    EXPECT_TRUE(o.pacing);
    EXPECT_EQ(*o.replyDelayMs, 5);
    EXPECT_TRUE(o.linkPath.empty());
}

TEST(CommandLine, mistakesAreNamed) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--tcp", "h:70000"}, {"--link", "a", "--tcp", "h:1"}, {"--bus"}, {"--frobnicate"},
             {"--reply-delay", "x"}, {"--tell", "sock"}}) {
        Options o;
        EXPECT_NE(Parse(args, o), "") << args[0];
    }
}

TEST(CommandLine, tellTakesTheRestAsOneCommand) {
    Options o;
    EXPECT_EQ(Parse({"--tell", "ctl", "param", "3", "DTxt", "kWh"}, o), "");
    EXPECT_EQ(o.tellPath, "ctl");
    EXPECT_EQ(o.tellLine, "param 3 DTxt kWh");
}

}  // namespace
