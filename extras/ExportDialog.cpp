#include "extras/ExportDialog.h"

#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <set>

#include "platform/Help.h"
#include "records/RecordingFiles.h"

namespace {
constexpr int kHelpContext = 82;
constexpr int kProgressSteps = 1000;

QDate ToQDate(const Date& d) { return QDate(d.year, d.month, d.day); }
Date FromQDate(const QDate& d) { return Date{d.year(), d.month(), d.day()}; }

}  // namespace

ExportDialog::ExportDialog(ExtrasContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), cancel_(std::make_shared<std::atomic<bool>>(false)) {
    setObjectName(QStringLiteral("AufzeichnungenExportieren"));
    setWindowTitle(QStringLiteral("Aufzeichnungen exportieren"));
    stations_ = new QListWidget(this);
    stations_->setObjectName(QStringLiteral("Stationen"));
    fromEdit_ = new QDateEdit(this);
    toEdit_ = new QDateEdit(this);
    for (QDateEdit* e : {fromEdit_, toEdit_}) {
        e->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        e->setCalendarPopup(true);
    }
    target_ = new QLineEdit(this);
    auto* browse = new QPushButton(QStringLiteral("&Durchsuchen..."), this);
    connect(browse, &QPushButton::clicked, this, &ExportDialog::Browse);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, kProgressSteps);
    progress_->setValue(0);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    startButton_ = new QPushButton(QStringLiteral("E&xportieren"), this);
    startButton_->setDefault(true);
    connect(startButton_, &QPushButton::clicked, this, &ExportDialog::Start);
    closeButton_ = new QPushButton(QString::fromUtf8("&Schließen"), this);
    connect(closeButton_, &QPushButton::clicked, this, [this] {
        if (Running()) {
            cancel_->store(true);  // the old target stays as it was
            return;
        }
        reject();
    });

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(target_, 1);
    targetRow->addWidget(browse);
    auto* days = new QHBoxLayout;
    days->addWidget(fromEdit_);
    days->addWidget(new QLabel(QStringLiteral("bis"), this));
    days->addWidget(toEdit_);
    days->addStretch();
    // A label shows its underlined letter only with a field to focus, which a row of several
    // widgets does not give it by itself.
    auto* form = new QFormLayout;
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    form->addRow(label(QStringLiteral("&Stationen:"), stations_), stations_);
    form->addRow(label(QStringLiteral("&Vom:"), fromEdit_), days);
    form->addRow(label(QStringLiteral("&Zieldatei:"), target_), targetRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(startButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(summary_);
    layout->addLayout(buttons);
    resize(460, 420);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [] { ShowHelpContext(kHelpContext); });
    Rescan();
}

ExportDialog::~ExportDialog() { cancel_->store(true); }

void ExportDialog::Rescan() {
    const QString folder = context_.recordingFolder ? context_.recordingFolder() : QStringLiteral(".");
    const std::vector<RecordingFile> files = FindRecordingFiles(folder.toStdString());
    std::map<int, int> counts;
    for (const RecordingFile& f : files) ++counts[f.address];
    const std::map<int, std::string> titles = Titles();
    stations_->clear();
    for (const auto& [address, count] : counts) {
        const auto title = titles.find(address);
        QString text = QString::number(address);
        if (title != titles.end()) text += QString::fromUtf8(" – ") + QString::fromStdString(title->second);
        text += QStringLiteral(" (%1 %2)").arg(count).arg(count == 1 ? QStringLiteral("Datei") : QStringLiteral("Dateien"));
        auto* item = new QListWidgetItem(text, stations_);
        item->setData(Qt::UserRole, address);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    if (!files.empty()) {
        Date first = files.front().date, last = files.front().date;
        for (const RecordingFile& f : files) {
            first = std::min(first, f.date);
            last = std::max(last, f.date);
        }
        SetDays(first, last);
    }
    if (files.empty()) summary_->setText(QStringLiteral("Im Aufzeichnungsordner liegen keine Aufzeichnungen."));
}

void ExportDialog::SetTarget(const QString& path) { target_->setText(path); }

void ExportDialog::SetDays(const Date& from, const Date& to) {
    fromEdit_->setDate(ToQDate(from));
    toEdit_->setDate(ToQDate(to));
}

void ExportDialog::SetStationChecked(int address, bool checked) {
    for (int i = 0; i < stations_->count(); ++i)
        if (stations_->item(i)->data(Qt::UserRole).toInt() == address)
            stations_->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<int> ExportDialog::CheckedStations() const {
    std::vector<int> checked;
    for (int i = 0; i < stations_->count(); ++i)
        if (stations_->item(i)->checkState() == Qt::Checked) checked.push_back(stations_->item(i)->data(Qt::UserRole).toInt());
    return checked;
}

std::map<int, std::string> ExportDialog::Titles() const {
    std::map<int, std::string> titles;
    if (context_.stations)
        for (const StationInfo& s : context_.stations()) titles[s.address] = s.title.trimmed().toStdString();
    return titles;
}

void ExportDialog::Browse() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zieldatei"), QStringLiteral("Aufzeichnungen.csv"),
                                                      QStringLiteral("CSV-Dateien (*.csv)"));
    if (!path.isEmpty()) target_->setText(path);
}

bool ExportDialog::Running() const { return watcher_ && watcher_->isRunning(); }

QString ExportDialog::Summary() const { return summary_->text(); }

void ExportDialog::Start() {
    if (Running()) return;
    const QString target = target_->text().trimmed();
    if (target.isEmpty()) {
        summary_->setText(QStringLiteral("Bitte eine Zieldatei angeben."));
        return;
    }
    // The recording files are only ever read; a target among them would destroy one. Neither is
    // a link or a pipe ever written through.
    if (const std::string refusal = ExportTargetRefusal(target.toStdString()); !refusal.empty()) {
        summary_->setText(QString::fromStdString(refusal));
        return;
    }
    const std::vector<int> checked = CheckedStations();
    if (checked.empty()) {
        summary_->setText(QString::fromUtf8("Bitte mindestens eine Station wählen."));
        return;
    }
    RecordingFilter filter;
    filter.from = std::min(FromQDate(fromEdit_->date()), FromQDate(toEdit_->date()));
    filter.to = std::max(FromQDate(fromEdit_->date()), FromQDate(toEdit_->date()));
    filter.stations = std::set<int>(checked.begin(), checked.end());
    const std::string folder = (context_.recordingFolder ? context_.recordingFolder() : QStringLiteral(".")).toStdString();
    const std::map<int, std::string> titles = Titles();

    cancel_ = std::make_shared<std::atomic<bool>>(false);
    if (!watcher_) {
        watcher_ = new QFutureWatcher<ExportResult>(this);
        connect(watcher_, &QFutureWatcher<ExportResult>::finished, this, &ExportDialog::Finished);
        connect(watcher_, &QFutureWatcher<ExportResult>::progressValueChanged, progress_, &QProgressBar::setValue);
    }
    progress_->setValue(0);
    summary_->setText(QString::fromUtf8("Export läuft …"));
    startButton_->setEnabled(false);
    closeButton_->setText(QStringLiteral("&Abbrechen"));
    auto cancel = cancel_;
    watcher_->setFuture(QtConcurrent::run([folder, filter, titles, target, cancel](QPromise<ExportResult>& promise) {
        promise.setProgressRange(0, kProgressSteps);
        ExportResult result;
        try {  // the window waits for a result: nothing may end this without one
            const auto files = FindRecordingFiles(folder, filter);
            result = ExportRecordings(files, titles, target.toStdString(), [&](std::uint64_t done, std::uint64_t total) {
                promise.setProgressValue(total == 0 ? kProgressSteps : int(done * kProgressSteps / total));
            }, cancel.get());
        } catch (const std::exception&) {
            result.outcome = ExportResult::Outcome::WriteFailed;
        }
        promise.addResult(result);
    }));
}

void ExportDialog::Finished() {
    last_ = watcher_->future().resultCount() > 0 ? watcher_->result() : ExportResult{};
    progress_->setValue(kProgressSteps);
    summary_->setText(QString::fromStdString(ExportSummary(last_)));
    startButton_->setEnabled(true);
    closeButton_->setText(QString::fromUtf8("&Schließen"));
    emit exportFinished();
}
