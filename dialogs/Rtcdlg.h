#pragma once
// TRtcDlg ("Real Time Clock"): reads and sets the clock of the active station (date, weekday,
// time of day and the cycle value kept with the seconds), or fills its fields from the PC clock.
// The clock values are not kept in the station's panel: the dialog shows what it showed last.

#include <QDialog>
#include <QString>
#include <cstdint>

#include "dialogs/DialogCommands.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

class TRtcDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRtcDlg(QWidget* parent = nullptr);

    static constexpr int kHelpContext = 42;
    static constexpr std::uint8_t kUnknownWeekday = 255;

    void DaRdBtnClick();
    void DaWrBtnClick();
    void UhRdBtnClick();
    void UhWrBtnClick();
    void PcUhrBtnClick();
    void HelpBtnClick();
    void ZyklMEditChange();  // the spin buttons follow what the operator types

    // Index of the item equal to the weekday box's text (letter case ignored), else 255.
    std::uint8_t WeekdayIndex() const;

    // The eight characters both the date and the time pass through (dd.mm.yy or hh:mm:ss).
    QString WorkText = QStringLiteral("        ");

    QLabel* Label1 = nullptr;
    QLineEdit* DatumMEdit = nullptr;
    QPushButton* DaRdBtn = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* WoTaCoBox = nullptr;
    QPushButton* DaWrBtn = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* ZeitMEdit = nullptr;
    QPushButton* UhRdBtn = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* ZyklMEdit = nullptr;
    TUpDown* ZyUpDn = nullptr;
    QPushButton* UhWrBtn = nullptr;
    QPushButton* PcUhrBtn = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildDateRows();
    void BuildTimeRows();
    void BuildButtons();
    QPushButton* AddButton(const QString& caption, const char* name, int x, int y, int w);
    QLabel* AddLabel(const QString& caption, const char* name, int y);
    // The edit's text as the handlers see it: eight positions, an unfilled one as a blank.
    static QString EightPositions(const QLineEdit* edit);
    int Digit(int position) const;
    void SelectWeekday(int index);  // low four bits of WorkText[position]
    // What a read of the date or the time brought; a part that could not be read is null.
    void ShowDate(const std::uint8_t* day, const std::uint8_t* monthYear);
    void ShowTime(const std::uint8_t* time, const std::uint8_t* secondsCycle);

    DialogCommands commands_{this};
};

extern TRtcDlg* RtcDlg;
