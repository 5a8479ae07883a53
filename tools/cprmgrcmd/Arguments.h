#pragma once
// The command lines of cprmgrcmd and their checks. Nothing that fails these checks reaches a
// socket, a file name or another program.
//
//   cprmgrcmd addservice N ADDRESS PORT [--ports DIR]
//   cprmgrcmd remservice N 1 [--ports DIR]
//
// N: the local port number 1..99 (the link is DIR/COMN, DIR defaults to "ports").
// ADDRESS: a dotted IPv4 address or a host name of letters, digits, dots and hyphens, not
// starting with a hyphen, at most 253 characters. PORT: the TCP port 1..65535.

#include <optional>
#include <string>
#include <vector>

struct ToolCommand {
    enum Kind { Add, Remove, Help };
    Kind kind = Help;
    int portNumber = 0;
    std::string address;
    int tcpPort = 0;
    std::string portsFolder = "ports";
};

// The command, or nothing with a one-line reason in error.
std::optional<ToolCommand> ParseArguments(const std::vector<std::string>& args, std::string& error);

bool ValidHostOrAddress(const std::string& text);
// A decimal number without sign within [min, max]; nothing otherwise.
std::optional<int> DecimalInRange(const std::string& text, int min, int max);

extern const char* const kUsage;
