#pragma once
// TForm1, the main window: start-up, configuration file, station slots, main menu, polling cycle,
// station search, broadcast mode and start/stop.
//
// Where things live:
//   platform/   what the operating system gives: serial device, clocks, INI file, help viewer
//   link/       the bus link (plain C++): command-set port, telegram exchange, device commands;
//               link/Siodlg is the port dialog and the network link setup
//   panel/      TQTV3590, one station's panel and its record in memory, and its recording file
//   ui/         what every window shares: message boxes, number texts, spin buttons, and
//               dialogs/ActiveStation.h, the active station's sources, which this window installs
//   dialogs/    the parameter and settings dialogs, and how windows hand their exchanges to the
//               bus's worker (BusAccess, DialogCommands)
//   records/    plain C++ over the program's files: the recorded values (recording files, series,
//               CSV export) and the event log with its daily file
//   service/    parameter sets and the setting of clocks over the device commands (plain C++)
//   extras/     the windows of the menu "E&xtras": trend and export (reached through ExtrasWindows),
//               parameter sets, clocks of all stations, event log
//   mainwindow/ this window, split by concern (Startup, Configuration, StationList, MainMenu,
//               Polling, ValueText, Search, Broadcast, Settings, TypeGroups, Extras,
//               ServiceItems, BusLink, Operator), the tick's bookkeeping (TickBook), the exit's
//               stages (ExitSequence), and the program entry
//
// How a value travels from the bus to the panel: Timer1 fires -> Timer1Timer finds the due
// panels (ZVar ran out) and hands the bus's worker one job for the tick -> per station, on the
// bus's thread: caption green (on this thread) -> BusAdresse := its address -> ReadMWert fills
// TeleBuffer and runs SioExchange on the command-set SerialLine -> BusAdresse goes back to the
// active station -> the signed value comes back to this thread -> FormatValueText (records/ValueText.h)
// adds sign, decimal point and unit -> the panel's SetText shows it -> TeleSpeichern records it
// when recording is on -> ReportPoll hands the result to the panel's statistics and to every
// listener of PollEvents (the event log's station watch, the trend windows).
//
// Threads (BusLink.cpp; the table in ARCHITECTURE.md): this window's thread keeps every widget
// and panel, the tick's bookkeeping (TickBook) and the exit's stage (ExitSequence); the bus's
// side (link/BusSide) runs every exchange, one job at a time in the order asked, and owns the
// link's state while its worker runs; this window reaches it only by posting a job.

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/BusAccess.h"
#include "extras/AlarmWindows.h"
#include "extras/StationOverview.h"
#include "link/LinkEvents.h"
#include "link/BusSide.h"
#include "link/BusWorker.h"
#include "mainwindow/ExitSequence.h"
#include "mainwindow/TickBook.h"
#include "panel/PollEvents.h"
#include "panel/Qtv3590.h"
#include "platform/ProcessHooks.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class ExtrasWindows;
class IniFile;
class EventLog;
class StationWatch;
class TEreignisDlg;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The start-up: reads configFile, creates the configured stations' panels, sets up the
    // network link when on, opens the command-set port; then the bus's worker takes over the
    // link: a thread of its own in the program, inline (every job run at once on this thread)
    // in tests and tools.
    explicit TForm1(const QString& configFile, BusWorker::Mode busMode = BusWorker::Mode::Threaded,
                    QWidget* parent = nullptr);
    ~TForm1() override;

    static constexpr int kSlots = 32;
    static constexpr int kClientWidth = 443;
    static constexpr int kClientHeight = 634;
    static constexpr int kTimerInterval = 500;

    // --- Main window state ---------------------------------------------------------------------
    std::array<TQTV3590*, kSlots> GeraetPanel{};
    std::array<bool, kSlots> GeraetBelegt{};
    TQTV3590* AktivPanel = nullptr;
    std::uint8_t GeraeteAnzahl = 0;
    std::uint8_t MaxGeraete = 1;
    // The network link's settings as this window shows and stores them: its copy of the bus's
    // (BusState), taken from the start-up's and each change's result.
    std::uint8_t SioNr = 1;
    QString HostName;
    QString LokalIP;
    bool Stop = false;
    std::uint16_t AlleZyklen = 0;
    // What happened on the bus and in the program; Stationswache, a listener of Polls(), tells it
    // which stations fell silent and came back.
    std::unique_ptr<EventLog> Ereignisse;
    std::unique_ptr<StationWatch> Stationswache;

    // --- Controls --------------------------------------------------------------------------------
    QWidget* Client = nullptr;  // the client area; station panels are docked into it
    QLabel* Label1 = nullptr;   // search progress
    QLabel* SLabel = nullptr;   // status line
    QTimer* Timer1 = nullptr;
    QMenu* ItParam = nullptr;
    QAction* Messbereich1 = nullptr;
    QAction* Sonstiges1 = nullptr;
    QAction* Broadcast1 = nullptr;
    QAction* StopItem = nullptr;
    QMenu* ItExtras = nullptr;

    const QString& ConfigFile() const { return configFile_; }
    QString ConfigFolder() const;

    // --- Configuration (Configuration.cpp) --------------------------------------------------------
    void ReadFormSection(const IniFile& ini);
    void ReadStation(const IniFile& ini, int n);
    void WriteFormSection(IniFile& ini) const;
    bool GeraetSchreiben(IniFile& ini, int n) const;

    // --- Station list (StationList.cpp) ---------------------------------------------------------
    bool QtvInsert(int n);
    static void SetzeTypGruppe(TQTV3590* panel, std::uint16_t typ);
    void Einfgen1Click();
    void Entfernen1Click();
    void LokalesMen1Click();
    void PanelDragEnded(TQTV3590* panel);
    void Activate(TQTV3590* panel);
    int SlotOf(const TQTV3590* panel) const;  // -1 when the panel holds no slot
    bool AddressTaken(int address, const TQTV3590* self) const;

    // --- Polling cycle (Polling.cpp) -------------------------------------------------------------
    void Timer1Timer();
    // Every poll's result, in polling order (see ReportPoll).
    PollEvents& Polls() { return pollEvents_; }

    // --- Extras (Extras.cpp) --------------------------------------------------------------------
    void Verlauf1Click();
    void Exportieren1Click();
    ExtrasWindows& Extras() { return *extras_; }

    // --- The bus (BusLink.cpp) ------------------------------------------------------------------
    // A search is under way: what would use the bus or change the station slots is refused.
    bool Searching() const { return searching_; }
    // The bus is idle: no job runs or waits (for tests and the exit).
    bool BusIdle() const;

    // --- Search and device type (Search.cpp) -----------------------------------------------------
    void Suchen1Click();
    void Gertetyplesen1Click();

    // --- Broadcast, start/stop (Broadcast.cpp) ----------------------------------------------------
    void Broadcast1Click();
    void SwitchBroadcast();
    void StopItemClick();

    // --- Settings and dialogs (Settings.cpp) ------------------------------------------------------
    void Zyklen1Click();
    void Gertezahl1Click();
    void Titel1Click();
    void Info1Click();
    void PCSio1Click();
    void Anzeige1Click();
    void RealTimeClock1Click();
    void Relais1Click();
    void Messbereich1Click();
    void Sonstiges1Click();

    // --- Extras: parameter sets, clocks, event log (ServiceItems.cpp) ------------------------------
    void Parametersatzsichern1Click();
    void Parametersatzvergleichen1Click();
    void Parametersatzbertragen1Click();
    void UhrenallerGertestellen1Click();
    void Ereignisse1Click();
    TEreignisDlg* EreignisFenster() const;  // the event log's window, once opened

    // --- For the operator: station overview, alarms, the link's state (Operator.cpp) ------------
    std::unique_ptr<AlarmWatch> Alarme;
    // At the right end of the status line: what is not normal on the link, "" while all is well.
    QLabel* LinkState = nullptr;
    void Stationsuebersicht1Click();
    void Alarme1Click();
    void EditAlarms(TQTV3590* panel);
    QString LinkStateText() const;
    std::vector<OverviewRow> OverviewRows() const;
    StationOverview* Uebersicht() const { return overview_; }
    AlarmList* AlarmFenster() const { return alarmList_; }
    bool AlarmBeep() const { return alarmBeep_; }

    // --- Exit (Startup.cpp) ---------------------------------------------------------------------
    void Beenden1Click();

    // Timer1 stopped and given back, nestable (the search and the link's recovery both do it).
    int StopTimer();
    void RestoreTimer(int interval);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Taken before the window installs its sources for the parts below (the active station, the
    // port object, broadcast mode, the bus's poster, the link's hooks and listener); put back as
    // soon as its bus has stopped.
    ProcessHooksGuard sources_{HookKind::Source};

    // What one poll of a tick brought back from the bus.
    struct PollAnswer {
        bool answered = false;  // SioErgebnis >= 1
        int measured = 0;       // the signed value as the station sent it
        int value = 0;          // not negative once answered: the sign is in negativ
        bool negativ = false;
        bool broadcast = false;
        bool noPort = false;  // no exchange was made: the port was not open
        ExchangeFailure failure = ExchangeFailure::None;  // why not answered
    };
    void CreateControls();
    void CreateMenu();
    void AddServiceItems(QMenu* extras);
    void InstallSources();
    void OpenLink(BusWorker::Mode mode);
    void TakeLinkSettings(const LinkSettings& settings);
    void ReportPoll(TQTV3590* p, std::uint8_t address, const PollAnswer& answer);
    void CreateExtras();
    void ApplyPendingAddressChange();
    void ShowStatusLine(bool broadcast);
    void AdaptParameterMenu();
    void PostTick(std::vector<std::uint8_t> strayAddresses, std::vector<std::uint8_t> pollAddresses,
                  std::optional<std::uint8_t> activeAddress);
    void ShowPollResult(std::size_t index, const PollAnswer& r);
    void TickEnded();
    bool SaveConfiguration(IniFile& ini);
    void SearchStep(int n);
    void StationFound(int n, std::uint16_t report);
    void SearchEnded();
    void FinishBeenden(int interval);

    // For the operator (Operator.cpp).
    void InstallOperatorExtras();
    void RemoveOperatorExtras();
    LinkEvents WithPortState(LinkEvents events);
    void NoteOperatorPoll(const PollResult& poll);
    void OperatorTick();
    void ReadAlarmKeys(const IniFile& ini, int n);
    void WriteAlarmKeys(IniFile& ini, int n) const;
    void ReadOperatorSettings(const IniFile& ini);
    void WriteOperatorSettings(IniFile& ini) const;
    TQTV3590* PanelOf(int address) const;

    // The bus (BusLink.cpp).
    void InstallLinkListeners();
    bool PostFromWindow(BusJob job, const CancelToken& token, AtExit atExit);
    bool PostToBus(BusJob job, const CancelToken& token = {}, AtExit atExit = AtExit::Drop);
    void TellLink(std::function<void()> change);
    bool RefusedDuringSearch();

    QString configFile_;
    // The configuration file existed at start-up but was not read whole (no permission, a read
    // error, far too large): this run began with defaults, so it never writes the file.
    QString configUnreadAtStart_;
    bool searching_ = false;
    int linkRememberedInterval_ = 0;
    QPointer<TEreignisDlg> ereignisDlg_;
    PollEvents pollEvents_;
    std::unique_ptr<ExtrasWindows> extras_;

    // For the operator: per address, since when and why a station fails, and its rest.
    struct StationTrouble {
        std::optional<std::int64_t> firstFailure;
        std::optional<std::int64_t> restUntil;
        QString cause;
    };
    std::map<int, StationTrouble> trouble_;
    QString portTrouble_;  // the port not opened or lost, and since when
    QPointer<StationOverview> overview_;
    QPointer<AlarmList> alarmList_;
    std::optional<QRect> overviewGeometry_;  // from the configuration file until the window exists
    bool alarmBeep_ = false;
    int beepTicks_ = 0;
    QTimer* operatorTimer_ = nullptr;

    const QPointer<QObject> self_{this};  // taken here, for what the worker hands over
    // The worker and the state it owns; null until the configuration has been read.
    std::unique_ptr<BusSide> bus_;
    TickBook tick_;
    ExitSequence exit_{this, tick_};
    // Broadcast mode as the operator chose it, which the menu shows and by which the dialogs
    // refuse their reads; the link takes each change as a job (TellLink), in order with the
    // exchanges, and the status line shows the link's own as the tick finds it.
    bool broadcast_ = false;
    std::uint8_t internet_ = 0;  // network mode: this window's copy, as SioNr above

    // The search under way.
    struct Search {
        int interval = 0;  // Timer1's, given back at the end
        int last = 0;      // MaxGeraete at its start
        QPointer<TQTV3590> first;
        std::string found;
    } search_;
};

extern TForm1* Form1;
