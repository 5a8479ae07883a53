#pragma once
// TParamSetDlg: a station's parameter set taken into a file ("Parametersatz sichern"), set
// beside the station again ("vergleichen"), or written to a station ("übertragen"), for the
// active station. The bus work is service/ParameterSetJobs, run as one job on the bus
// (dialogs/BusAccess); this window chooses the file, asks before it writes, shows the progress
// after every exchange and the outcome per parameter. While a job runs the window cannot be
// closed: it shows what the job does, and a restore half done is no state to leave a station in.

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <optional>

#include "service/ParameterSet.h"
#include "service/ParameterSetJobs.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;
class TQTV3590;

class TParamSetDlg : public QDialog {
    Q_OBJECT
public:
    enum class Action { Backup, Compare, Restore };

    TParamSetDlg(Action action, TQTV3590* station, QWidget* parent = nullptr);

    static constexpr int kHelpBackup = 84;
    static constexpr int kHelpCompare = 85;
    static constexpr int kHelpRestore = 86;
    int HelpContext() const;

    void DateiBtnClick();
    void StartBtnClick();
    void JaBtnClick();
    void NeinBtnClick();
    void HelpBtnClick();

    QLabel* StationLabel = nullptr;
    QLineEdit* DateiEdit = nullptr;
    QPushButton* DateiBtn = nullptr;
    QPushButton* StartBtn = nullptr;
    QWidget* FrageFrame = nullptr;  // the question before a restore
    QLabel* FrageLabel = nullptr;
    QPushButton* JaBtn = nullptr;
    QPushButton* NeinBtn = nullptr;
    QProgressBar* Fortschritt = nullptr;
    QTableWidget* Tabelle = nullptr;
    QLabel* SummeLabel = nullptr;
    QPushButton* CloseBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    void reject() override;  // refused while a job runs

private:
    void Backup(const QString& path);
    void ShowBackup(const ParameterSet& set, const QString& path);
    void Compare(const ParameterSet& file);
    void ShowComparison(const Comparison& c, const ParameterSet& file);
    void AskBeforeRestore(ParameterSet file, const QString& path, const std::optional<std::uint16_t>& stationType);
    void Restore();
    void ShowRestored(const std::vector<RestoredParameter>& rows);
    Progress ProgressHere();
    std::optional<ParameterSet> LoadFile(const QString& path);
    void ShowProgress(int done, int total);
    void Busy(bool busy);
    std::uint8_t Address() const;

    Action action_;
    QPointer<TQTV3590> station_;
    std::optional<ParameterSet> pending_;  // the file a restore waits to write
    bool busy_ = false;
};
