#pragma once
// TForm1, the main window: start-up, configuration file, station slots, main menu, polling cycle,
// station search, broadcast mode and start/stop.
//
// Where things live:
//   platform/   what the operating system gives: serial device, clocks, INI file, help viewer
//   link/       the bus link (plain C++): command-set port, telegram exchange, device commands;
//               link/Siodlg is the port dialog and the network link setup
//   panel/      TQTV3590, one station's panel and its record in memory, and its recording file
//   dialogs/    the parameter and settings dialogs; they reach the active station through
//               dialogs/ActiveStation.h, whose sources this window installs
//   records/    plain C++ over the program's files: the recorded values (recording files, series,
//               CSV export) and the event log with its daily file
//   service/    parameter sets and the setting of clocks over the device commands (plain C++)
//   extras/     the windows of the menu "E&xtras": trend and export (reached through ExtrasWindows),
//               parameter sets, clocks of all stations, event log
//   mainwindow/ this window, split by concern (Startup, Configuration, StationList, MainMenu,
//               Polling, ValueText, Search, Broadcast, Settings, TypeGroups, Extras,
//               ServiceItems) and the program entry
//
// How a value travels from the bus to the panel: Timer1 fires -> Timer1Timer finds the due
// panel (ZVar ran out) -> caption green, repainted -> BusAdresse := its address -> ReadMWert
// fills TeleBuffer and runs SioExchange on the command-set SerialLine -> the signed value comes
// back -> FormatValueText (ValueText.h) adds sign, decimal point and unit -> the panel's SetText
// shows it -> TeleSpeichern records it when recording is on -> ReportPoll hands the result to the
// panel's statistics and to every listener of PollEvents (the event log's station watch, the
// trend windows) -> BusAdresse goes back to the active station.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "panel/PollEvents.h"
#include "panel/Qtv3590.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class ExtrasWindows;
class IniFile;
class SioPort;
class EventLog;
class StationWatch;
class TEreignisDlg;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The start-up: reads configFile, creates the configured stations' panels, sets up the
    // network link when on, opens the command-set port.
    explicit TForm1(const QString& configFile, QWidget* parent = nullptr);
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
    std::uint8_t SioNr = 1;
    QString HostName;
    QString LokalIP;
    bool Stop = false;
    std::uint16_t AlleZyklen = 0;
    std::unique_ptr<SioPort> SioObjekt;
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

    // --- Exit (Startup.cpp) ---------------------------------------------------------------------
    void Beenden1Click();

    // Timer1 stopped and given back, nestable (the search and the link's recovery both do it).
    int StopTimer();
    void RestoreTimer(int interval);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateMenu();
    void AddServiceItems(QMenu* extras);
    void InstallSources();
    void SetupNetLinkNow(bool internet);
    void PollStation(TQTV3590* p);
    void CountFailure(TQTV3590* p);
    void ShowAnswer(TQTV3590* p, int v);
    void ReportPoll(TQTV3590* p, bool answered, int value);
    void CreateExtras();
    void ApplyPendingAddressChange();
    void ShowStatusLine();
    void AdaptParameterMenu();
    void BeepForStrayTelegrams();
    bool SaveConfiguration(IniFile& ini);
    void WaitUntil(std::uint64_t deadlineMs);

    QString configFile_;
    // The configuration file existed at start-up but was not read whole (no permission, a read
    // error, far too large): this run began with defaults, so it never writes the file.
    QString configUnreadAtStart_;
    bool searching_ = false;
    bool ticking_ = false;
    int linkRememberedInterval_ = 0;
    bool configurationWritten_ = false;  // "&Beenden" wrote the file before the window closed
    QPointer<TEreignisDlg> ereignisDlg_;
    PollEvents pollEvents_;
    std::unique_ptr<ExtrasWindows> extras_;
};

extern TForm1* Form1;
