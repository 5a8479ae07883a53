#include "mainwindow/TickBook.h"

#include <QApplication>
#include <utility>

bool TickBook::Due() {
    if (inFlight_) {
        // Only while the tick's own job runs: one that waits behind another job is the overdue tick.
        if (started_) skipped_ = true;
        return false;
    }
    stray_.clear();
    polls_.clear();
    return true;
}

bool TickBook::CountDown(TQTV3590& p) {
    if (--p.ZVar != 0) return false;
    p.ZVar = p.GetSZykl();
    p.BeginPoll();
    polls_.push_back({&p, static_cast<std::uint8_t>(p.StatAdr & 0xFF), p.Komma, p.TypGruppe, p.GetSBen()});
    return true;
}

CancelToken TickBook::Begin() {
    inFlight_ = true;
    started_ = false;
    skipped_ = false;
    token_ = CancelToken::Create();
    return token_;
}

void TickBook::BeepForStray(const std::vector<bool>& found) {
    for (std::size_t i = 0; i < found.size() && i < stray_.size(); ++i) {
        if (!found[i]) continue;
        QApplication::beep();
        if (TQTV3590* p = stray_[i]) p->SioFehler = 0;
    }
}

void TickBook::ShowStarted(std::size_t index) {
    if (index >= polls_.size()) return;
    if (TQTV3590* p = polls_[index].panel) {
        p->SetCaptionColor(clGreen);
        p->repaint();
    }
}

TickBook::Poll* TickBook::Shown(std::size_t index) {
    if (index >= polls_.size()) return nullptr;
    polls_[index].shown = true;
    return &polls_[index];
}

bool TickBook::End() {
    for (Poll& poll : polls_)
        if (!poll.shown && poll.panel) poll.panel->EndPoll();
    polls_.clear();
    stray_.clear();
    inFlight_ = false;
    return std::exchange(skipped_, false);
}
