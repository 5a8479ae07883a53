#pragma once
// The window "Aufzeichnungen exportieren": stations (all with files, unless the operator
// unticks some), a range of days and a target file; the export runs in the background with a
// progress bar and ends with a summary in the window (skipped lines included).

#include <QDialog>
#include <QFutureWatcher>
#include <atomic>
#include <map>
#include <memory>

#include "extras/ExtrasContext.h"
#include "records/Export.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(ExtrasContext context, QWidget* parent = nullptr);
    ~ExportDialog() override;

    // Looks at the recording folder again: the stations with files and the days they span.
    void Rescan();
    void SetTarget(const QString& path);
    void SetDays(const Date& from, const Date& to);
    void SetStationChecked(int address, bool checked);
    std::vector<int> CheckedStations() const;
    void Start();
    bool Running() const;
    QString Summary() const;
    const ExportResult& LastResult() const { return last_; }

signals:
    void exportFinished();

private:
    void Browse();
    void Finished();
    std::map<int, std::string> Titles() const;

    ExtrasContext context_;
    QListWidget* stations_ = nullptr;
    QDateEdit* fromEdit_ = nullptr;
    QDateEdit* toEdit_ = nullptr;
    QLineEdit* target_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QFutureWatcher<ExportResult>* watcher_ = nullptr;
    std::shared_ptr<std::atomic<bool>> cancel_;
    ExportResult last_;
};
