#pragma once
// The alarms' windows: "Alarmgrenzen", the limits of one station (from its panel's menu and from
// the station overview), and "Alarme", the active and past alarms with their acknowledgement.

#include <QDialog>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

#include "records/Alarms.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;

class AlarmLimitsDlg : public QDialog {
    Q_OBJECT
public:
    // station: the caption the dialog names ("Kessel 1 (5)"); unit: the station's Benennung.
    AlarmLimitsDlg(const QString& station, const QString& unit, const AlarmLimits& limits, QWidget* owner);
    // The limits as entered; none while a field holds no number.
    std::optional<AlarmLimits> Limits() const;

    QLineEdit* Oben = nullptr;
    QLineEdit* Unten = nullptr;
    QLineEdit* Verzoegerung = nullptr;
    QLineEdit* Hysterese = nullptr;
    QLineEdit* Stille = nullptr;

    void accept() override;  // refused, with a note in the dialog, while a field holds no number

private:
    QLabel* note_ = nullptr;
};

struct AlarmListContext {
    AlarmWatch* watch = nullptr;
    std::function<bool()> beep;  // the beep while an alarm is unacknowledged
    std::function<void(bool)> setBeep;
    std::function<void()> acknowledged;  // after an acknowledgement (the status field follows)
};

class AlarmList : public QWidget {
    Q_OBJECT
public:
    AlarmList(AlarmListContext context, QWidget* owner);
    void Refresh();  // after every change of the alarms
    QTableWidget* Table() const { return table_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AcknowledgeSelected();

    AlarmListContext context_;
    QTableWidget* table_ = nullptr;
    QCheckBox* beep_ = nullptr;
};
