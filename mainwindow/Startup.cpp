// Start-up (the construction of the main window), the orderly exit through "&Beenden", and the
// close box, which ends the program without writing anything.

#include <QCloseEvent>
#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include "extras/EventsDlg.h"
#include "extras/ExtrasWindows.h"
#include "link/LinkEvents.h"
#include "link/Sio.h"
#include "link/Siodlg.h"
#include "mainwindow/ConfigValue.h"
#include "mainwindow/Tarvo.h"
#include "platform/IniFile.h"
#include "platform/PortPath.h"
#include "records/BusEvents.h"
#include "records/EventLog.h"
#include "dialogs/ActiveStation.h"
#include "ui/Messages.h"

TForm1* Form1 = nullptr;

namespace {
// Why a configuration file that exists was not read whole, or "" when it was (or was missing).
QString NotReadWholeReason(const IniFile& ini) {
    switch (ini.reading()) {
        case IniFile::Reading::Unreadable:
            return QString::fromUtf8("konnte nicht vollständig gelesen werden");
        case IniFile::Reading::TooLarge:
            return QString::fromUtf8("ist größer als %1 MB und wurde nicht gelesen")
                .arg(IniFile::kMaxBytes >> 20);
        case IniFile::Reading::Whole:
        case IniFile::Reading::Missing:
            break;
    }
    return {};
}
}  // namespace

TForm1::TForm1(const QString& configFile, BusWorker::Mode busMode, QWidget* parent)
    : QMainWindow(parent), configFile_(configFile) {
    // The log lies in the recording folder, which is the working directory.
    Ereignisse = std::make_unique<EventLog>();
    Stationswache = std::make_unique<StationWatch>(*Ereignisse);
    // The watch learns of every poll where everyone else does, first of all listeners.
    pollEvents_.Subscribe([this](const PollResult& poll) { Stationswache->NotePoll(poll.address, poll.answered, poll.failure); });
    Ereignisse->Add("Programm gestartet");
    GeraeteAnzahl = 0;
    Broadcast = false;
    AktivPanel = nullptr;
    GeraetBelegt.fill(false);
    CreateControls();
    CreateMenu();
    CreateExtras();
    InstallOperatorExtras();
    InstallSources();
    SetPortsFolder((ConfigFolder() + QStringLiteral("/ports")).toStdString());

    {
        const IniFile ini(configFile_.toStdString());
        configUnreadAtStart_ = NotReadWholeReason(ini);
        ReadFormSection(ini);
        for (int n = 1; n <= MaxGeraete; ++n)
            if (ini.SectionExists(StationSection(n))) ReadStation(ini, n);
        ReadOperatorSettings(ini);
    }

    Stop = false;
    OpenLink(busMode);
    // The first frame already shows what the first tick will: the status line and the state of
    // the parameter menu.
    if (AktivPanel) {
        AdaptParameterMenu();
        ShowStatusLine(broadcast_);
    } else {
        SLabel->setText(QStringLiteral("Passiv"));
        ItParam->menuAction()->setEnabled(false);
    }
    Timer1->start();
}

TForm1::~TForm1() {
    Timer1->stop();
    exit_.StopBus(bus_.get());  // before the panels, the port object and the listeners go
    sources_.Restore();
    delete ereignisDlg_;  // it listens to the log, which goes before the children do
    RemoveOperatorExtras();
    extras_.reset();
    if (Form1 == this) Form1 = nullptr;
}

QString TForm1::ConfigFolder() const { return QFileInfo(configFile_).absolutePath(); }

void TForm1::CreateControls() {
    resize(kClientWidth, kClientHeight);
    QFont formFont(QStringLiteral("Tahoma"));
    formFont.setPixelSize(13);
    setFont(formFont);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Client = new QWidget(central);
    Client->setObjectName(QStringLiteral("Client"));
    layout->addWidget(Client, 1);

    Label1 = new QLabel(QStringLiteral("Label1"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFixedHeight(16);
    QFont bold = formFont;
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setStyleSheet(QStringLiteral("color: #FF0000;"));
    Label1->hide();
    layout->addWidget(Label1);

    SLabel = new QLabel(QStringLiteral("SLabel"), central);
    SLabel->setObjectName(QStringLiteral("SLabel"));
    SLabel->setFixedHeight(16);
    SLabel->setStyleSheet(QStringLiteral("color: #000000;"));
    SLabel->installEventFilter(this);  // double click switches broadcast mode
    layout->addWidget(SLabel);
    setCentralWidget(central);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

void TForm1::InstallSources() {
    SetActivePanelSource([this] { return AktivPanel; });
    // Asked by the humidity dialog's exchange, on the bus's thread.
    SetPortObjectSource([this] { return bus_ ? bus_->Here().PortObject() : nullptr; });
    SetBroadcastSource([this] { return broadcast_; });
    InstallLinkListeners();
}

// Interval 0 is "stopped" here; a QTimer of interval 0 would fire continuously instead.
int TForm1::StopTimer() {
    const int interval = Timer1->isActive() ? Timer1->interval() : 0;
    Timer1->stop();
    return interval;
}

void TForm1::RestoreTimer(int interval) {
    if (interval <= 0) {
        Timer1->stop();
        return;
    }
    Timer1->setInterval(interval);
    Timer1->start();
}

// A file that was not read whole, at start-up or now, is never written over: what it holds is
// unknown, and a save would put this run's settings in place of every station in it.
bool TForm1::SaveConfiguration(IniFile& ini) {
    const QString notRead = configUnreadAtStart_.isEmpty() ? NotReadWholeReason(ini) : configUnreadAtStart_;
    if (!notRead.isEmpty()) {
        ShowInfo(QStringLiteral("Fehler"),
                 QString::fromUtf8("Die Konfigurationsdatei \"%1\" %2. Damit keine Einstellungen verloren gehen, "
                                   "wird sie nicht überschrieben.\nDas Fenster kann ohne Speichern geschlossen "
                                   "werden.")
                     .arg(QString::fromStdString(ini.path()), notRead));
        return false;
    }
    if (ini.Save()) return true;
    ShowInfo(QStringLiteral("Fehler"),
             QString::fromUtf8("Die Konfigurationsdatei \"%1\" kann nicht geschrieben werden.")
                 .arg(QString::fromStdString(ini.path())));
    return false;
}

// The exit waits for the job in progress on the bus (a tick stops after its current poll, what
// waits is dropped, the confirmed writes run: ExitSequence), then writes the configuration file
// and ends. During a search it is refused.
void TForm1::Beenden1Click() {
    if (exit_.Begun() || RefusedDuringSearch()) return;
    const int interval = StopTimer();
    if (exit_.Quiet(bus_.get(), [this, interval] { FinishBeenden(interval); })) FinishBeenden(interval);
}

// The bus is quiet: this thread may read the link's state again.
void TForm1::FinishBeenden(int interval) {
    IniFile ini(configFile_.toStdString());
    WriteFormSection(ini);
    WriteOperatorSettings(ini);
    const auto belegt = GeraetBelegt;
    for (int n = 0; n <= MaxGeraete; ++n) {
        if (TQTV3590* p = GeraetPanel[n]) {
            p->CloseFile();
            GeraetSchreiben(ini, n);
        } else {
            ini.EraseSection(StationSection(n));
        }
        GeraetBelegt[n] = false;
    }
    if (!SaveConfiguration(ini)) {
        // Ending now would lose every change of this run: stay, as if exit had not been asked.
        GeraetBelegt = belegt;
        for (TQTV3590* p : GeraetPanel)
            if (p && p->WriteStatus) p->GenerateFileName();
        exit_.GiveUp();
        RestoreTimer(interval);
        return;
    }
    exit_.StopBus(bus_.get());
    if (TQTV3590* active = AktivPanel) {
        const int slot = SlotOf(active);
        if (slot >= 0) GeraetPanel[slot] = nullptr;
        AktivPanel = nullptr;
        delete active;
    }
    bus_->Here().DropPortObject();
    exit_.NoteWritten();
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // During a search the window stays; the search ends within a second per address.
    if (RefusedDuringSearch()) {
        event->ignore();
        return;
    }
    Timer1->stop();
    // The close box, too, lets the exchange in progress end first; the window closes after it.
    if (!exit_.Quiet(bus_.get(), [this] {
            exit_.StopBus(bus_.get());
            close();
        })) {
        event->ignore();
        return;
    }
    exit_.StopBus(bus_.get());
    Ereignisse->Add(exit_.stage() == ExitSequence::Stage::Written
                        ? "Programm beendet"
                        : "Programm beendet, ohne die Konfiguration zu schreiben");
    event->accept();
    // The program ends with its main window, also while the help window or another window of
    // its own is still open: a process left running would hold the serial port.
    QCoreApplication::quit();
}
