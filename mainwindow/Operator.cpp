// For the operator, beside the prescribed window: the station overview, the limit alarms with
// their list and dialog, and the link's state at the right end of the status line. All of it
// listens (to the poll results, the link's events, the window's own flags) and never asks the bus.

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "extras/AlarmWindows.h"
#include "extras/ExtrasWindows.h"
#include "mainwindow/ConfigValue.h"
#include "mainwindow/Tarvo.h"
#include "platform/Clock.h"
#include "records/Alarms.h"
#include "records/BusEvents.h"
#include "records/LocalTime.h"

namespace {
constexpr int kOperatorTickMs = 500;
constexpr int kBeepEveryTicks = 4;  // every 2 s while an alarm waits for its acknowledgement
constexpr int kLongestSeconds = 86400;
const std::string kOverviewSection = "Stationsuebersicht";
const std::string kAlarmSection = "Alarme";

QString Since() { return QStringLiteral(" (seit ") + QString::fromStdString(ClockTime(LocalMilliseconds(LocalNow()))) + QLatin1Char(')'); }
QString Port(std::uint8_t port) { return QStringLiteral("Schnittstelle COM%1").arg(port); }
}  // namespace

void TForm1::InstallOperatorExtras() {
    Alarme = std::make_unique<AlarmWatch>(Ereignisse.get());
    Alarme->changed = [this] {
        if (alarmList_) alarmList_->Refresh();
        OperatorTick();
    };
    pollEvents_.Subscribe([this](const PollResult& poll) { NoteOperatorPoll(poll); });

    // A child of the status line, at its right end: the prescribed text keeps its place and size.
    LinkState = new QLabel(SLabel);
    LinkState->setObjectName(QStringLiteral("LinkState"));
    LinkState->setAttribute(Qt::WA_TransparentForMouseEvents);  // the double click stays the line's
    // Its own colour over the status line's, which its style sheet hands down to its children.
    LinkState->setStyleSheet(QStringLiteral("color: #B00000;"));
    LinkState->setFont(SLabel->font());  // the form's height, as every label of the window
    auto* row = new QHBoxLayout(SLabel);
    row->setContentsMargins(0, 0, 4, 0);
    row->addStretch();
    row->addWidget(LinkState);

    operatorTimer_ = new QTimer(this);
    operatorTimer_->setInterval(kOperatorTickMs);
    connect(operatorTimer_, &QTimer::timeout, this, &TForm1::OperatorTick);
    operatorTimer_->start();
}

// Before the poll events and the alarms go: the windows that listen to them.
void TForm1::RemoveOperatorExtras() {
    delete overview_.data();
    delete alarmList_.data();
    if (Alarme) Alarme->changed = nullptr;
}

LinkEvents TForm1::WithPortState(LinkEvents events) {
    const auto wrap = [this](std::function<void(std::uint8_t)> inner, std::function<QString(std::uint8_t)> text) {
        return [this, inner, text](std::uint8_t port) {
            portTrouble_ = text(port);
            OperatorTick();
            if (inner) inner(port);
        };
    };
    events.portNotOpened = wrap(events.portNotOpened,
                                [](std::uint8_t port) { return Port(port) + QString::fromUtf8(" kann nicht geöffnet werden") + Since(); });
    events.portLost = wrap(events.portLost, [](std::uint8_t port) { return Port(port) + QStringLiteral(" verloren") + Since(); });
    // Opened, at start-up, again, or on the number the port dialog chose: all is well again.
    const auto cleared = [this](LinkEvents::PortOpened inner) {
        return [this, inner](std::uint8_t port, const std::string& device) {
            portTrouble_.clear();
            OperatorTick();
            if (inner) inner(port, device);
        };
    };
    events.portOpened = cleared(events.portOpened);
    events.portReopened = cleared(events.portReopened);
    return events;
}

TQTV3590* TForm1::PanelOf(int address) const {
    for (int n = 0; n < kSlots; ++n)
        if (GeraetPanel[n] && GeraetBelegt[n] && GeraetPanel[n]->StatAdr == address) return GeraetPanel[n];
    return nullptr;
}

void TForm1::NoteOperatorPoll(const PollResult& poll) {
    StationTrouble& t = trouble_[poll.address];
    TQTV3590* p = PanelOf(poll.address);
    if (poll.answered) {
        t = {};
        portTrouble_.clear();  // an answer came through the port: it works again
    } else {
        if (!t.firstFailure) t.firstFailure = poll.time;
        t.cause = QString::fromStdString(FailureText(poll.failure));
        // The polling cycle rests a station at its eleventh failure: its countdown was set long.
        t.restUntil.reset();
        if (p && p->SioFehler == 0) t.restUntil = poll.time + std::int64_t(p->ZVar) * Timer1->interval();
    }
    if (p)
        Alarme->NotePoll(p->Alarmgrenzen, {poll.address, p->GetTitel().toStdString(), poll.time, poll.answered,
                                           poll.text.toStdString()});
}

// Twice a second: the status field, the silence of resting stations, the beep.
void TForm1::OperatorTick() {
    if (!LinkState) return;
    // Beside the prescribed text, never over it: what does not fit ends in "…" (the overview
    // shows it whole).
    const QFontMetrics fm(LinkState->font());
    const int room = SLabel->width() - QFontMetrics(SLabel->font()).horizontalAdvance(SLabel->text()) - 16;
    const QString text = fm.elidedText(LinkStateText(), Qt::ElideRight, std::max(room, 0));
    if (LinkState->text() != text) LinkState->setText(text);
    const std::int64_t now = LocalMilliseconds(LocalNow());
    // A station removed from the window is watched no more: its active alarms go.
    std::vector<int> removed;
    for (const AlarmRecord& a : Alarme->Alarms())
        if (a.Active() && !PanelOf(a.station)) removed.push_back(a.station);
    for (int station : removed) Alarme->Forget(station, now);
    if (!Stop && !searching_ && AktivPanel) {
        for (int n = 0; n <= MaxGeraete && n < kSlots; ++n) {
            const TQTV3590* p = GeraetPanel[n];
            if (p && GeraetBelegt[n] && p->GetSZykl() != 0 && p->Alarmgrenzen.stille)
                Alarme->CheckSilence(p->Alarmgrenzen, p->StatAdr, p->GetTitel().toStdString(), now);
        }
    }
    if (alarmBeep_ && Alarme->Unacknowledged() > 0 && ++beepTicks_ >= kBeepEveryTicks) {
        beepTicks_ = 0;
        QApplication::beep();
    }
}

QString TForm1::LinkStateText() const {
    QStringList parts;
    if (!portTrouble_.isEmpty()) parts << portTrouble_;
    if (searching_) parts << QString::fromUtf8("Suche läuft");
    if (Stop) parts << QStringLiteral("Abfrage gestoppt");
    if (broadcast_) parts << QStringLiteral("Broadcast-Betrieb");
    if (!AktivPanel) parts << QStringLiteral("Passiv: keine Station aktiv, es wird nicht abgefragt");
    if (const int n = Alarme ? Alarme->Unacknowledged() : 0)
        parts << (n == 1 ? QStringLiteral("1 Alarm nicht quittiert") : QStringLiteral("%1 Alarme nicht quittiert").arg(n));
    return parts.join(QString::fromUtf8("  ·  "));
}

std::vector<OverviewRow> TForm1::OverviewRows() const {
    std::vector<OverviewRow> rows;
    for (int n = 0; n < kSlots; ++n) {
        const TQTV3590* p = GeraetPanel[n];
        if (!p || !GeraetBelegt[n]) continue;
        OverviewRow r;
        r.address = p->StatAdr;
        r.title = p->GetTitel();
        r.value = p->GetText();
        const QString unitPart = QLatin1Char(' ') + p->GetSBen();
        if (r.value.endsWith(unitPart)) r.value.chop(unitPart.size());
        r.unit = p->GetSBen().trimmed();
        r.zyklus = p->GetSZykl();
        r.stats = p->PollStats;
        if (const auto t = trouble_.find(r.address); t != trouble_.end()) {
            r.firstFailure = t->second.firstFailure;
            r.restUntil = t->second.restUntil;
            r.cause = t->second.cause;
        }
        r.recording = p->WriteStatus;
        r.active = p == AktivPanel;
        r.alarm = Alarme->ActiveFor(r.address).has_value();
        r.unacknowledged = Alarme->UnacknowledgedFor(r.address);
        rows.push_back(std::move(r));
    }
    return rows;
}

void TForm1::Stationsuebersicht1Click() {
    if (!overview_) {
        OverviewContext context;
        context.polls = &pollEvents_;
        context.rows = [this] { return OverviewRows(); };
        context.linkState = [this] { return LinkStateText(); };
        context.activate = [this](int address) {
            if (TQTV3590* p = PanelOf(address)) Activate(p);
        };
        context.showTrend = [this](int address) { extras_->ShowTrend(address); };
        context.editAlarms = [this](int address) {
            if (TQTV3590* p = PanelOf(address)) EditAlarms(p);
        };
        overview_ = new StationOverview(std::move(context), this);
        // A place the file remembers is taken only while it lies on a screen.
        if (overviewGeometry_ && QGuiApplication::screenAt(overviewGeometry_->center()))
            overview_->setGeometry(*overviewGeometry_);
    }
    overview_->show();
    overview_->raise();
    overview_->activateWindow();
}

void TForm1::Alarme1Click() {
    if (!alarmList_) {
        AlarmListContext context;
        context.watch = Alarme.get();
        context.beep = [this] { return alarmBeep_; };
        context.setBeep = [this](bool on) { alarmBeep_ = on; };
        context.acknowledged = [this] { OperatorTick(); };
        alarmList_ = new AlarmList(std::move(context), this);
    }
    alarmList_->Refresh();
    alarmList_->show();
    alarmList_->raise();
    alarmList_->activateWindow();
}

void TForm1::EditAlarms(TQTV3590* panel) {
    if (!panel) return;
    AlarmLimitsDlg dlg(panel->Caption().trimmed(), panel->GetSBen(), panel->Alarmgrenzen, this);
    if (dlg.exec() != QDialog::Accepted) return;
    if (const auto limits = dlg.Limits()) panel->Alarmgrenzen = *limits;
}

// --- The configuration file: keys behind the prescribed ones, sections of their own --------------

void TForm1::ReadAlarmKeys(const IniFile& ini, int n) {
    TQTV3590* p = GeraetPanel[n];
    if (!p) return;
    const std::string s = StationSection(n);
    AlarmLimits& a = p->Alarmgrenzen;
    a.oben = ParseLimit(ini.ReadString(s, "AlarmOben", ""));
    a.unten = ParseLimit(ini.ReadString(s, "AlarmUnten", ""));
    a.verzoegerung = int(std::clamp<std::int64_t>(ini.ReadInteger(s, "AlarmVerzoegerung", 0), 0, kLongestSeconds));
    a.hysterese = std::abs(ParseLimit(ini.ReadString(s, "AlarmHysterese", "")).value_or(0.0));
    const std::int64_t stille = ini.ReadInteger(s, "AlarmStille", -1);
    a.stille.reset();
    if (stille >= 0) a.stille = int(std::min<std::int64_t>(stille, kLongestSeconds));
}

// A key is written when it says something or stands in the file already (updated in place);
// a station without alarms keeps its section exactly as the prescribed keys make it.
void TForm1::WriteAlarmKeys(IniFile& ini, int n) const {
    const TQTV3590* p = GeraetPanel[n];
    if (!p) return;
    const std::string s = StationSection(n);
    const AlarmLimits& a = p->Alarmgrenzen;
    const auto put = [&](const char* key, bool says, const std::string& value) {
        if (says || ini.ValueExists(s, key)) ini.WriteString(s, key, says ? value : std::string());
    };
    put("AlarmOben", a.oben.has_value(), a.oben ? LimitText(*a.oben) : "");
    put("AlarmUnten", a.unten.has_value(), a.unten ? LimitText(*a.unten) : "");
    put("AlarmVerzoegerung", a.verzoegerung != 0, std::to_string(a.verzoegerung));
    put("AlarmHysterese", a.hysterese != 0, LimitText(a.hysterese));
    put("AlarmStille", a.stille.has_value(), a.stille ? std::to_string(*a.stille) : "");
}

void TForm1::ReadOperatorSettings(const IniFile& ini) {
    if (ini.SectionExists(kOverviewSection)) {
        const auto v = [&](const char* key, int def) {
            return int(std::clamp<std::int64_t>(ini.ReadInteger(kOverviewSection, key, def), -16384, 16384));
        };
        const QRect r(v("Left", 100), v("Top", 100), std::max(200, v("Width", 720)), std::max(120, v("Height", 420)));
        overviewGeometry_ = r;
    }
    alarmBeep_ = ini.ReadBool(kAlarmSection, "Signalton", false);
}

void TForm1::WriteOperatorSettings(IniFile& ini) const {
    const std::optional<QRect> r = overview_ ? std::optional<QRect>(overview_->geometry()) : overviewGeometry_;
    if (r) {
        ini.WriteInteger(kOverviewSection, "Left", r->x());
        ini.WriteInteger(kOverviewSection, "Top", r->y());
        ini.WriteInteger(kOverviewSection, "Width", r->width());
        ini.WriteInteger(kOverviewSection, "Height", r->height());
    }
    if (alarmBeep_ || ini.ValueExists(kAlarmSection, "Signalton")) ini.WriteBool(kAlarmSection, "Signalton", alarmBeep_);
}
