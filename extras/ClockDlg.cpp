#include "extras/ClockDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/BusAccess.h"
#include "platform/Help.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
const QColor kFailed(255, 220, 220);

enum Column { kStation, kBefore, kDeviation, kResult, kColumns };
}  // namespace

TUhrenDlg::TUhrenDlg(std::vector<ClockStation> stations, QWidget* parent)
    : QDialog(parent), stations_(std::move(stations)) {
    setObjectName(QStringLiteral("UhrenDlg"));
    setWindowTitle(U("Uhren aller Geräte stellen"));
    resize(560, 420);

    auto* intro = new QLabel(U("Stellt die Uhr jeder abgefragten Station nach der Uhr dieses PCs, "
                               "eine Station nach der anderen."),
                             this);
    intro->setWordWrap(true);

    Tabelle = new QTableWidget(static_cast<int>(stations_.size()), kColumns, this);
    Tabelle->setObjectName(QStringLiteral("Tabelle"));
    Tabelle->setHorizontalHeaderLabels({QStringLiteral("Station"), QStringLiteral("Uhr vorher"),
                                        QStringLiteral("Abweichung"), QStringLiteral("Ergebnis")});
    Tabelle->verticalHeader()->hide();
    Tabelle->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < static_cast<int>(stations_.size()); ++row) {
        const ClockStation& s = stations_[row];
        QString name = QStringLiteral("%1").arg(s.address);
        if (!s.title.isEmpty()) name += QStringLiteral(" ") + s.title;
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(c == kStation ? name : QString());
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            Tabelle->setItem(row, c, item);
        }
    }

    Fortschritt = new QProgressBar(this);
    Fortschritt->setObjectName(QStringLiteral("Fortschritt"));
    Fortschritt->setRange(0, std::max<int>(1, static_cast<int>(stations_.size())));
    Fortschritt->setValue(0);
    SummeLabel = new QLabel(stations_.empty() ? U("Keine Station wird abgefragt.") : QString(), this);
    SummeLabel->setObjectName(QStringLiteral("SummeLabel"));
    SummeLabel->setWordWrap(true);

    StellenBtn = new QPushButton(QStringLiteral("&Stellen"), this);
    StellenBtn->setObjectName(QStringLiteral("StellenBtn"));
    StellenBtn->setEnabled(!stations_.empty());
    StellenBtn->setDefault(true);
    CloseBtn = new QPushButton(U("S&chließen"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setAutoDefault(false);
    HelpBtn = new QPushButton(QStringLiteral("&Hilfe"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(StellenBtn);
    bottom->addStretch();
    bottom->addWidget(CloseBtn);
    bottom->addWidget(HelpBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(Tabelle, 1);
    layout->addWidget(Fortschritt);
    layout->addWidget(SummeLabel);
    layout->addLayout(bottom);

    connect(StellenBtn, &QPushButton::clicked, this, &TUhrenDlg::StellenBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpBtn, &QPushButton::clicked, this, &TUhrenDlg::HelpBtnClick);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TUhrenDlg::HelpBtnClick);
}

void TUhrenDlg::HelpBtnClick() {
    ShowHelpContext(kHelpContext);
}

QString TUhrenDlg::DeviationText(const std::optional<std::int64_t>& seconds) {
    if (!seconds) return U("unbekannt");
    if (*seconds == 0) return QStringLiteral("0 s");
    return QStringLiteral("%1%2 s").arg(*seconds > 0 ? QStringLiteral("+") : QString()).arg(*seconds);
}

QString TUhrenDlg::OutcomeText(const ClockResult& r) {
    switch (r.outcome) {
    case ClockOutcome::Set:
        return U("gestellt (") + DeviationText(r.deviationAfter) + U(")");
    case ClockOutcome::NoAnswer:
        return U("keine Antwort, nicht gestellt");
    case ClockOutcome::WriteFailed:
        return U("Übertragungsfehler beim Stellen");
    case ClockOutcome::ReadBackFailed:
        return U("gestellt, aber nicht zurückgelesen");
    case ClockOutcome::StillOff:
        return U("nach dem Stellen noch ") + DeviationText(r.deviationAfter) + U(" daneben");
    }
    return {};
}

void TUhrenDlg::ShowResult(int row, const ClockResult& r) {
    Tabelle->item(row, kBefore)->setText(r.before.empty() ? U("—") : QString::fromStdString(r.before));
    Tabelle->item(row, kDeviation)->setText(r.before.empty() ? U("—") : DeviationText(r.deviationBefore));
    Tabelle->item(row, kResult)->setText(OutcomeText(r));
    if (r.outcome != ClockOutcome::Set)
        for (int c = 0; c < kColumns; ++c)
            Tabelle->item(row, c)->setBackground(kFailed);
}

void TUhrenDlg::reject() {
    if (!busy_) QDialog::reject();
}

void TUhrenDlg::ShowStarted(int row) {
    Tabelle->item(row, kResult)->setText(U("wird gestellt ..."));
}

void TUhrenDlg::StellenBtnClick() {
    busy_ = true;
    StellenBtn->setEnabled(false);
    CloseBtn->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::uint8_t> addresses;
    for (const ClockStation& s : stations_) addresses.push_back(s.address);
    // One job for all: no poll comes between two stations, as none did when this held the window.
    const QPointer<QObject> self(this);
    const auto setAll = [self, this, addresses, pc = pcClock] {
        std::vector<ClockResult> results;
        for (std::size_t row = 0; row < addresses.size(); ++row) {
            OnUiThread(self, [this, row] { ShowStarted(static_cast<int>(row)); });
            results.push_back(SetStationClock(addresses[row], pc));
            OnUiThread(self, [this, row, r = results.back()] {
                ShowResult(static_cast<int>(row), r);
                Fortschritt->setValue(static_cast<int>(row) + 1);
            });
        }
        return results;
    };
    const auto finished = [this] {
        QApplication::restoreOverrideCursor();
        StellenBtn->setEnabled(true);
        CloseBtn->setEnabled(true);
        busy_ = false;
    };
    RunOnBus(
        this, setAll,
        [finished, this](const std::vector<ClockResult>& results) {
            finished();
            ShowSummary(results);
        },
        finished);
}

void TUhrenDlg::ShowSummary(const std::vector<ClockResult>& results) {
    int set = 0;
    QStringList failed;
    for (const ClockResult& r : results) {
        if (r.outcome == ClockOutcome::Set)
            ++set;
        else
            failed << QString::number(r.address);
    }
    QString summary = U("%1 von %2 Uhren gestellt.").arg(set).arg(stations_.size());
    if (!failed.isEmpty())
        summary += U(" Nicht gestellt: Station ") + failed.join(QStringLiteral(", ")) + ".";
    SummeLabel->setText(summary);
}
