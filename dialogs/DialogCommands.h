#pragma once
// A dialog's device commands on the bus (dialogs/BusAccess). A button's click takes what it
// needs from the controls and the active station, and hands the command over; the command runs
// after the exchange or tick in progress, and its result comes back to the dialog's controls,
// the station's fields and the message box, in the order the dialog's rows prescribe.
//
// Meanwhile the dialog shows that it is busy: a wait cursor, and its buttons disabled but for
// help, which never waits; nothing else changes. Afterwards each button is as the dialog wants
// it (SetEnabled). A dialog closed while its command waits still has it run and its result
// shown: what was sent stays sent and what was read is kept in the station's fields.

#include <QPointer>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

#include "dialogs/BusAccess.h"
#include "link/Sio.h"

class QAbstractButton;

// What a command hands back: its value, and whether its exchange succeeded (SioErgebnis not 0
// after it, taken on the bus's thread).
template <typename T>
struct Answer {
    T value{};
    bool ok = false;
};

// The work of the three kinds of command, for DialogCommands::Run.
// A reading command: its value; it failed when SioErgebnis is 0 after it.
template <typename Read>
auto Reading(Read read) {
    return [read] {
        auto value = read();
        return Answer<decltype(value)>{value, SioErgebnis != 0};
    };
}
// A reading command that fills the caller's area (N bytes, zero before the read).
template <std::size_t N, typename Read>
auto AreaReading(Read read) {
    return [read] {
        std::array<std::uint8_t, N> area{};
        read(area.data());
        return Answer<std::array<std::uint8_t, N>>{area, SioErgebnis != 0};
    };
}
// A writing command: it failed when it returned 0.
template <typename Write, typename Value>
auto Writing(Write write, Value value) {
    return [write, value] {
        const std::int32_t result = write(value);
        return Answer<std::int32_t>{result, result != 0};
    };
}

class DialogCommands {
public:
    // help: the button that stays enabled (none: every button is disabled while busy).
    explicit DialogCommands(QWidget* dialog, QAbstractButton* help = nullptr) : dialog_(dialog), help_(help) {}
    void SetHelpButton(QAbstractButton* help) { help_ = help; }

    // work runs on the bus's thread and returns what done needs; done runs on this thread.
    template <typename Work, typename Done>
    void Run(Work work, Done done) {
        Begin();
        RunOnBus(dialog_, std::move(work),
                 [this, done = std::move(done)](auto result) mutable {
                     End();
                     done(std::move(result));
                 },
                 [this] { End(); });
    }

    // A control enabled or disabled as the dialog wants it; while a command is under way a
    // button it disabled stays so and takes the wanted state afterwards.
    void SetEnabled(QWidget* control, bool enabled);
    bool Busy() const { return pending_ > 0; }

private:
    void Begin();
    void End();

    QPointer<QWidget> dialog_;
    QAbstractButton* help_;
    int pending_ = 0;
    std::map<QWidget*, bool> wanted_;  // the buttons disabled while busy, and their state after
};
