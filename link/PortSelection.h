#pragma once
// What a confirmed port dialog changes, without the dialog: the steps of the menu action
// "&PC-Sio" after "OK". The dialog (link/Siodlg) only shows the current choice and collects the
// new one.

#include <cstdint>
#include <memory>
#include <string>

#include "link/NetLink.h"

class SioPort;

// The choice the dialog hands over.
struct PortChoice {
    std::uint8_t sioNr = 1;  // the spin position
    bool internet = false;   // "Internet" checked, else "Lokal"
    std::string hostName;    // the host-name field
    std::string lokalIP;     // the local-address field, as typed
};

// The main window's state that a choice changes.
struct PortSettings {
    std::uint8_t& SioNr;
    std::uint8_t& Internet;
    std::string& HostName;
    std::string& LokalIP;
    std::unique_ptr<SioPort>& SioObjekt;
};

// Takes the choice over, in this order: HostName and SioNr; the port object is destroyed;
// Internet and LokalIP (stored as typed); with "Internet" the network link is set up for SioNr
// (SetupNetLink with `workingDirectory` and `show`, which also gives the command-set port its
// new device when it holds SioNr); the command-set port on SioNr at once (ChooseCommandSetPort:
// opened there unless it is open there already); last a new port object on SioNr, which then
// shares the command-set port's line, even when the link setup failed (its recovery registers
// the link again once its sends keep failing).
void ApplyPortChoice(const PortChoice& choice, PortSettings& settings, const std::string& workingDirectory,
                     const LinkMessage& show);
