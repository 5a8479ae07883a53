#pragma once
// The relay of one mapping: bytes from the pseudo-terminal's master go to the device server's TCP
// port and back. A dropped or silently dead connection (TCP keepalive with short intervals) is
// made again after a pause that starts at 0.1 s and doubles up to 10 s; meanwhile the
// pseudo-terminal, and so the program's port, stays in place and what the program sends is dropped,
// as a bus without stations would drop it.

#include <functional>
#include <string>

struct BridgeTarget {
    std::string address;  // checked: IPv4 address or host name
    int tcpPort = 0;
};

// Blocks SIGTERM, SIGINT and SIGHUP outside its wait; must be called before RunBridge.
void PrepareBridgeSignals();
// Runs until SIGTERM, SIGINT or SIGHUP, or until stillMapped() (asked once a second) says that the
// mapping is gone: its link removed or pointed elsewhere by someone else. A bridge without its
// link would run on for ever and keep a device server that takes one connection busy.
// master is non-blocking.
void RunBridge(int master, const BridgeTarget& target, const std::function<bool()>& stillMapped);
