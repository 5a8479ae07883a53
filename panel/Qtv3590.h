#pragma once
// TQTV3590: the panel that shows one station on the main window, and at the same time that
// station's record in memory: its settings, its polling counters, the cache of the device
// parameters the dialogs last read or sent, and its recording file.

#include <QColor>
#include <QGroupBox>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "panel/PollStatistics.h"
#include "records/Alarms.h"

class QAction;
class QLabel;
class QMenu;
class QFrame;
class QMouseEvent;
class QContextMenuEvent;

// A toolkit colour integer with red in the low byte (0x0000FF red, 0x008000 green), as the
// configuration file stores it.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clMaroon = 0x000080;
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);

// The colour-choice dialog of the panel's colour items; tests put their answer in its place.
// Empty: the toolkit's dialog. No value: cancelled.
using ColourChoice = std::function<std::optional<TColor>(QWidget* owner)>;
void SetColourChoice(ColourChoice choice);

class TQTV3590 : public QGroupBox {
    Q_OBJECT
public:
    explicit TQTV3590(QWidget* owner);
    ~TQTV3590() override;

    // Prepares a newly inserted panel for station number n.
    void Insert(int n);

    // Published properties.
    TColor GetTextColor() const { return textColor_; }
    void SetTextColor(TColor c);
    TColor GetHGColor() const { return backgnd_; }
    void SetHGColor(TColor c);
    const QString& GetText() const { return Text; }
    void SetText(const QString& text);
    const QString& GetTitel() const { return Titel; }
    void SetTitel(const QString& titel);  // caption "%s (%d)"
    const QString& GetSBen() const { return Benennung; }
    void SetSBen(const QString& ben) { Benennung = ben; }
    std::uint16_t GetSTyp() const { return QtvTyp; }
    void SetSTyp(std::uint16_t typ) { QtvTyp = typ; }
    std::uint16_t GetSZykl() const { return Zyklus; }
    void SetSZykl(std::uint16_t z) { Zyklus = z; }

    // Frame (group box) colours, set by the polling cycle.
    void SetFrameColor(TColor c);       // clBtnFace is kFrameButtonFace
    TColor FrameColor() const { return frameColor_; }
    void SetCaptionColor(TColor c);     // colours the caption only, never the value text
    TColor CaptionColor() const { return captionColor_; }
    static constexpr TColor kFrameButtonFace = 0x80000000u | 15u;  // system colour "button face"

    // Recording file.
    void GenerateFileName();
    void TeleSpeichern(bool broadcast);
    void CloseFile();

    // The polling cycle marks this station's poll as under way on the bus, from the tick that
    // found it due until its result has been shown. A change of the countdown the operator makes
    // meanwhile (AfterPoll: the cycle action, the cycles of all stations) takes effect right after
    // that result, as it did when a tick held the whole window and the operator acted after it.
    void BeginPoll() { pollUnderWay_ = true; }
    void EndPoll();                                 // applies what was kept meanwhile
    void AfterPoll(std::function<void()> change);  // at once while no poll is under way

    // Pop-up menu.
    QMenu* PanelMenu() const { return panelMenu_; }
    void PopupItemClick(int tag);
    QAction* RecordAction() const;  // the item "Aufzeichnen"
    QAction* TrendAction() const { return trendAction_; }  // "&Verlauf...", behind the eight items

    // Results of this station's polls, kept by the polling cycle; shown as the panel's tooltip.
    PollStatistics PollStats;
    QString PollToolTip() const;

    QFrame* ValuePanel() const { return valuePanel_; }
    QLabel* ValueLabel() const { return valueLabel_; }

    // The frame caption as the operator reads it (title() holds it with '&' doubled, so that a
    // title is never taken for a keyboard shortcut).
    QString Caption() const { return caption_; }

    // The station's limit alarms (the keys Alarm... of its section in the configuration file).
    AlarmLimits Alarmgrenzen;

    // Fields.
    QString FileName = QStringLiteral("0");
    bool WriteStatus = false;
    int FileHandle = -1;
    QString Titel;
    QString Text;
    QString Benennung;
    std::uint16_t StatAdr = 0;
    std::uint16_t QtvTyp = 0;
    std::uint16_t Zyklus = 0;
    std::uint16_t ZVar = 0;
    std::int16_t OldAdr = -1;
    std::uint8_t SioFehler = 0;
    std::int16_t MBAnf = 0;
    std::int16_t ABAnf = 0;
    std::int16_t MBEnd = 0;
    std::int16_t ABEnd = 0;
    std::int16_t SP1Wert = 0, SP2Wert = 0;
    std::int16_t SP1Hyst = 0, SP2Hyst = 0;
    std::uint16_t SP1Verz = 0, SP2Verz = 0;
    std::uint16_t Mittel = 1;
    std::uint8_t Komma = 3;
    std::uint8_t Runden = 1;
    std::uint8_t FileDay = 1;
    std::uint8_t SP1Aktiv = 0, SP2Aktiv = 0;
    std::uint8_t SP1Funk = 0, SP2Funk = 0;
    std::uint8_t SoMess = 0;
    std::uint8_t Durch10 = 0;
    std::uint8_t TypGruppe = 0;

signals:
    // Emitted by the main window's handlers: left button pressed (drag start) and end of a drag.
    void dragStarted(TQTV3590* panel);
    void dragEnded(TQTV3590* panel);
    // The items behind the table: the trend of the panel's station ("&Verlauf..."), its dialog
    // "Alarmgrenzen".
    void trendWanted(TQTV3590* panel);
    void alarmLimitsWanted(TQTV3590* panel);
    // Questions to the main window, answered over a direct connection before the signal returns
    // (nobody connected: the answer stays false). Before the address dialog opens: the station
    // slots must not change now (during a search); the receiver has told the operator so. Before
    // the panel takes another address: another panel holds, or is about to move to, the slot of
    // that address (taking it would drop a station).
    void slotsLocked(bool& locked);
    void addressTaken(int address, bool& taken);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetCaption(const QString& caption);
    void BuildPanelMenu();
    void AddressAction();
    void CycleAction();
    void RecordingAction();
    void ColourAction(int tag);
    void TitleAction();
    bool RecordingFileIsCurrent() const;

    bool pollUnderWay_ = false;
    std::vector<std::function<void()>> afterPoll_;

    QFrame* valuePanel_ = nullptr;
    QLabel* valueLabel_ = nullptr;
    QMenu* panelMenu_ = nullptr;
    QAction* trendAction_ = nullptr;
    TColor textColor_ = clBlack;
    TColor backgnd_ = clWhite;
    TColor frameColor_ = clWhite;
    TColor captionColor_ = clBlack;
    QString caption_;
    // The month and year of FileName, beside FileDay: a day number alone cannot tell the 5th of
    // one month from the 5th of the next.
    int fileMonth_ = 0;
    int fileYear_ = 0;
    // Drag mechanics: armed by a left press, moving once the mouse went 8 pixels away.
    bool dragArmed_ = false;
    bool dragMoving_ = false;
    QPoint pressGlobal_;
    QPoint pressPos_;
};
