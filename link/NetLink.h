#pragma once
// The network link: a network device server's serial port (TCP port 10001) is mapped onto a local
// port number by the COM-port redirector, whose command-line tool the program runs. Plain C++:
// the messages go to the caller's sink, which shows them with the caption "Fehler".

#include <cstdint>
#include <functional>
#include <string>

// Shows one message of the network link (UTF-8).
using LinkMessage = std::function<void(const std::string& text)>;

// Registers the redirector's port `sioNr` for the device server: by `hostName` when `internet`
// is true, else by `lokalIP`, which is cleaned in place first (CleanLocalIp). Runs the tool in
// `workingDirectory` with "remservice N 1" twice, then "addservice N ADDRESS 10001"; a failed
// remove shows "Service kann nicht gelöscht werden" (each run its own) and the setup goes on; a
// failed add shows "IP kann nicht ermittelt werden". Only the tool's exit code counts.
//   - A host name that cannot be resolved shows "IP kann nicht ermittelt werden"; nothing runs.
//   - A local address of 0.0.0.0 names no device server (the bus is on a port of the PC itself):
//     nothing runs and nothing is shown, so a local port above 2 is never mapped to nowhere.
//   - Once the tool has run, the device behind port `sioNr` is a new one: the command-set port,
//     when it holds that number, is opened again on it at once (ReclaimCommandSetPort).
// Blocks until the tool's runs have ended.
void SetupNetLink(bool internet, std::uint8_t sioNr, const std::string& hostName, std::string& lokalIP,
                  const std::string& workingDirectory, const LinkMessage& show);

// A local address as typed, three digits per number, with the zeros and blanks in front of each
// number removed; a number of zeros keeps one zero; dots stay (010.000.007.120 -> 10.0.7.120).
std::string CleanLocalIp(const std::string& lokalIP);

// The tool's file: beside the program file when it is there, else its bare name on the search path.
std::string RedirectorTool();
