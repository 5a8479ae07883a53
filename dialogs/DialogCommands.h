#pragma once
// A dialog's device commands on the bus (dialogs/BusAccess). A button's click takes what it
// needs from the controls and the active station, and hands the command over; the command runs
// after the exchange or tick in progress, and its result comes back to the dialog's controls,
// the station's fields and the message box, in the order the dialog's rows prescribe.
//
// Meanwhile the dialog shows that it is busy: a wait cursor, and its buttons disabled but for
// help, which never waits (nor does the help window); Escape and the close box wait as well, so
// that the box of a failure comes over its own dialog. Afterwards each button is as the dialog
// wants it (SetEnabled) and the focus where it was at the click. A dialog closed meanwhile by
// other means (the exit) still has its command run and its result shown: what was sent stays
// sent and what was read is kept in the station's fields.
//
// A command belongs to the station active at its click: its result goes into that station's
// fields, and into the dialog's controls only while the dialog still shows that station in the
// same opening (Shows()), never into what the dialog shows of another.

#include <QPointer>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>

#include "dialogs/BusAccess.h"
#include "link/Sio.h"
#include "dialogs/ActiveStation.h"

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

class DialogCommands : public QObject {
public:
    // help: the button that stays enabled (none: every button is disabled while busy).
    explicit DialogCommands(QWidget* dialog, QAbstractButton* help = nullptr);
    void SetHelpButton(QAbstractButton* help) { help_ = help; }
    // For a dialog where Escape asks for help instead of closing: it is never held back.
    void SetEscapeCloses(bool closes) { escapeCloses_ = closes; }

    // A reading command: work runs on the bus's thread and returns what done needs; done runs on
    // this thread. Refused in broadcast mode, where no station would answer.
    template <typename Work, typename Done>
    void Run(Work work, Done done) {
        if (RefusedInBroadcastMode()) return;
        Start(std::move(work), std::move(done), AtExit::Drop);
    }
    // A writing command: as Run, also in broadcast mode, and sent before the program ends.
    template <typename Work, typename Done>
    void Send(Work work, Done done) {
        Start(std::move(work), std::move(done), AtExit::Run);
    }

    // Asked by a result's handler (done): whether the dialog still shows the station the command
    // was asked for, in the same opening. Only then may the result go into its controls; the
    // station's fields (the panel taken at the click) and the box take it in any case.
    bool Shows() const { return shows_; }

    // A control enabled or disabled as the dialog wants it; while a command is under way a
    // button it disabled stays so and takes the wanted state afterwards.
    void SetEnabled(QWidget* control, bool enabled);
    bool Busy() const { return pending_ > 0; }

protected:
    // While busy, Escape and the close box wait like the buttons.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Asked {
        unsigned opening;
        QPointer<QObject> panel;
    };
    template <typename Work, typename Done>
    void Start(Work work, Done done, AtExit atExit) {
        const Asked asked = AskedNow();
        Begin();
        RunOnBus(
            dialog_, std::move(work),
            [this, asked, done = std::move(done)](auto result) mutable {
                End();
                const bool outer = shows_;
                shows_ = StillShows(asked);
                done(std::move(result));
                shows_ = outer;
            },
            [this] { End(); }, {}, atExit);
    }
    Asked AskedNow() const;
    bool StillShows(const Asked& asked) const;
    void Begin();
    void End();

    QPointer<QWidget> dialog_;
    QAbstractButton* help_;
    int pending_ = 0;
    std::map<QWidget*, bool> wanted_;  // the buttons disabled while busy, and their state after
    QPointer<QWidget> focus_;          // where the focus was at the first click
    unsigned opening_ = 0;             // counts the dialog's showing and hiding
    bool shows_ = true;                // see Shows(); outside a handler: true
    bool escapeCloses_ = true;
};
