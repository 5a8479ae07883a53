#pragma once
// TEreignisDlg ("Ereignisse"): the latest entries of the event log, newest first, all of them
// or those of one station. It follows the log while it is open; it never changes the log.

#include <QDialog>

class EventLog;
struct EventEntry;
class QComboBox;
class QPushButton;
class QTableWidget;

class TEreignisDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEreignisDlg(EventLog& log, QWidget* parent = nullptr);
    ~TEreignisDlg() override;

    static constexpr int kHelpContext = 88;

    // The station shown: -1 all, else a bus address (broadcasts concern every station).
    int Filter() const;
    void Refill();
    void HelpBtnClick();

    QComboBox* StationCoBox = nullptr;
    QTableWidget* Tabelle = nullptr;
    QPushButton* CloseBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

private:
    bool Shown(int station) const;
    void InsertRow(int row, const EventEntry& entry);
    EventLog& log_;
};
