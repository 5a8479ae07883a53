#pragma once
// What the parameter dialog tests stand on: a scripted station at address 5 on the command-set
// port (network mode, so that each request is one write), an active station panel, and records
// of the message boxes and help requests instead of windows. Waits of the link are instant.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/Messages.h"
#include "support/FakeLine.h"

class TQTV3590;

inline constexpr std::uint8_t kStation = 5;

class DialogBus {
public:
    // Opens the command-set port on a fake line; call once per test program.
    void Start();
    // Before each test: a fresh active panel for station 5 (group gruppe), empty records.
    void Reset(std::uint8_t gruppe = '1');
    void Stop();

    // --- The station's replies, one per request, in order ---------------------------------------
    void Answer(std::initializer_list<std::uint8_t> data);  // answer telegram with these data bytes
    void Ack();
    void Nak();
    void Silent();  // no reply at all

    // --- What the station received -------------------------------------------------------------
    // Every request telegram, as hex ("02 05 05 A0 03 AF"); the PC's own ACK/NAK are left out.
    std::vector<std::string> Requests() const;
    std::size_t PendingReplies() const;

    // The request telegram for a command code and data bytes, with its checksum.
    static std::string Request(std::uint8_t code, std::initializer_list<std::uint8_t> data = {});

    TQTV3590* Panel() const { return panel_; }
    // Makes another panel the active one (or none with null).
    void SetActive(TQTV3590* panel) { active_ = panel; }
    TQTV3590* NewPanel(std::uint8_t gruppe);

    // Message boxes shown, with what was observed when each appeared.
    struct Shown {
        ShownMessage message;
        QString observed;
    };
    std::vector<Shown> messages;
    // Called when a box appears; its result is kept with the box (e.g. an edit's text).
    std::function<QString()> observeAtMessage;
    std::vector<int> helpRequests;

    int TransferErrors() const;

private:
    std::unique_ptr<FakeLineFactory> factory_;
    std::unique_ptr<QWidget> owner_;
    TQTV3590* panel_ = nullptr;
    TQTV3590* active_ = nullptr;
};
