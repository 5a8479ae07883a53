#pragma once
// The command line of qtvsim.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Options {
    std::string linkPath;        // --link: where the pseudo-terminal's link is made
    std::string tcpHost;         // --tcp HOST:PORT; empty when not serving TCP
    std::uint16_t tcpPort = 0;
    std::string busFile;         // --bus
    std::string traceFile;       // --trace; "-" is stderr
    std::string controlPath;     // --control: a local socket path
    bool pacing = false;         // --baud-pacing
    std::optional<double> replyDelayMs;   // --reply-delay
    std::vector<std::string> stations;    // --station ADDR:TYPE[:UNIT]
    std::string tellPath;                 // --tell PATH COMMAND...: a client of a running qtvsim
    std::string tellLine;
    bool help = false;
};

inline constexpr const char* kDefaultLink = "ports/COM1";
inline constexpr const char* kDefaultTcpHost = "127.0.0.1";
inline constexpr std::uint16_t kDefaultTcpPort = 10001;

// Returns an error text, empty on success.
std::string ParseOptions(const std::vector<std::string>& args, Options& options);
std::string UsageText();
