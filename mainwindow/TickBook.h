#pragma once
// The polling tick's bookkeeping on the window's thread: whether the tick's job is queued or
// runs, whether a tick fell due meanwhile, which stations it polls (with what their value texts
// are made of as the tick found them) and which it looks at for stray telegrams. The job itself
// and what a poll's result does to the window are TForm1's (mainwindow/Polling.cpp).
//
// A tick that falls due while the last one's job is queued or runs is skipped, not made up; as
// when a long job held the window, exactly one overdue tick follows: the queued tick itself when
// another job held the bus, the next one as soon as the tick's job has ended when the tick held
// it.

#include <QPointer>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/BusWorker.h"
#include "panel/Qtv3590.h"

class TickBook {
public:
    // A station the tick polls: its panel, and what its value text is made of as it stood when
    // the tick found the station due.
    struct Poll {
        QPointer<TQTV3590> panel;
        std::uint8_t address = 0;
        std::uint8_t komma = 0;
        std::uint8_t typGruppe = 0;
        QString benennung;
        bool shown = false;  // its result has been applied
    };

    // A tick fell due: true when it goes ahead (its lists emptied); false while the last tick's
    // job is queued or runs.
    bool Due();
    // A station looked at for stray telegrams, in the order the job looks.
    void AddStray(TQTV3590* panel) { stray_.push_back(panel); }
    // Decrements every countdown in rising slot order; a station whose countdown runs out is due,
    // and its countdown starts again from its cycle. Returns the due stations' addresses.
    template <std::size_t N>
    std::vector<std::uint8_t> CollectDue(const std::array<TQTV3590*, N>& panels, const std::array<bool, N>& taken,
                                         int last) {
        std::vector<std::uint8_t> addresses;
        for (int a = 0; a <= last && a < int(N); ++a)
            if (panels[a] && taken[a] && CountDown(*panels[a])) addresses.push_back(polls_.back().address);
        return addresses;
    }

    // The tick's job is about to be posted; the token cancels it (at the exit).
    CancelToken Begin();
    // The window has heard that the job runs: a tick due from now on waits for its end.
    void Started() { started_ = true; }
    void Cancel() const { token_.cancel(); }

    // One beep per station whose address sent a telegram out of turn (the job has emptied the
    // entries already); its failure count starts again.
    void BeepForStray(const std::vector<bool>& found);
    // Shows the station as being asked while its exchange runs.
    void ShowStarted(std::size_t index);
    // The poll of that index, marked shown; null when there is none.
    Poll* Shown(std::size_t index);

    // The tick's job has ended or was dropped: the polls it did not make leave their countdowns
    // to the operator again. True when a tick fell due meanwhile: it is to run now.
    bool End();

private:
    bool CountDown(TQTV3590& panel);

    bool inFlight_ = false;  // the tick's job is queued or runs: the next ticks are skipped
    bool started_ = false;   // the window has heard that the job runs
    bool skipped_ = false;   // a tick was skipped meanwhile
    CancelToken token_;
    std::vector<Poll> polls_;
    std::vector<QPointer<TQTV3590>> stray_;
};
