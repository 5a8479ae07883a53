#pragma once
// TUhrenDlg ("Uhren aller Geräte stellen"): sets the clock of every polled station from the
// PC's clock, one station after the other (service/ClockSetting) in one job on the bus, and shows
// per station, as it is done, the clock before, its deviation from the PC and the result. While
// the job runs the window cannot be closed: a station's clock is never left half set.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

#include "service/ClockSetting.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

struct ClockStation {
    std::uint8_t address;
    QString title;
};

class TUhrenDlg : public QDialog {
    Q_OBJECT
public:
    explicit TUhrenDlg(std::vector<ClockStation> stations, QWidget* parent = nullptr);

    static constexpr int kHelpContext = 87;

    void StellenBtnClick();
    void HelpBtnClick();

    // The PC's clock the stations are set from; tests put in their own.
    PcClock pcClock = SystemPcClock();

    QTableWidget* Tabelle = nullptr;
    QProgressBar* Fortschritt = nullptr;
    QLabel* SummeLabel = nullptr;
    QPushButton* StellenBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // The row texts of one result: clock before, deviation, result.
    static QString DeviationText(const std::optional<std::int64_t>& seconds);
    static QString OutcomeText(const ClockResult& r);

    void reject() override;  // refused while the clocks are being set

private:
    void ShowResult(int row, const ClockResult& r);
    void ShowStarted(int row);
    void ShowSummary(const std::vector<ClockResult>& results);
    std::vector<ClockStation> stations_;
    bool busy_ = false;
};
