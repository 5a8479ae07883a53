#include "extras/EventsDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/Help.h"
#include "records/EventLog.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
constexpr int kAll = -1;
constexpr int kLastStation = 31;
}  // namespace

TEreignisDlg::TEreignisDlg(EventLog& log, QWidget* parent) : QDialog(parent), log_(log) {
    setObjectName(QStringLiteral("EreignisDlg"));
    setWindowTitle(QStringLiteral("Ereignisse"));
    resize(620, 460);

    auto* label = new QLabel(QStringLiteral("&Station:"), this);
    StationCoBox = new QComboBox(this);
    StationCoBox->setObjectName(QStringLiteral("StationCoBox"));
    StationCoBox->addItem(QStringLiteral("Alle Stationen"), kAll);
    for (int a = 1; a <= kLastStation; ++a)
        StationCoBox->addItem(QStringLiteral("Station %1").arg(a), a);
    label->setBuddy(StationCoBox);
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(StationCoBox);
    top->addStretch();

    Tabelle = new QTableWidget(0, 3, this);
    Tabelle->setObjectName(QStringLiteral("Tabelle"));
    Tabelle->setHorizontalHeaderLabels(
        {QStringLiteral("Zeit"), QStringLiteral("Station"), QStringLiteral("Ereignis")});
    Tabelle->verticalHeader()->hide();
    Tabelle->horizontalHeader()->setStretchLastSection(true);
    Tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);

    CloseBtn = new QPushButton(U("S&chließen"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    HelpBtn = new QPushButton(QStringLiteral("&Hilfe"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(CloseBtn);
    bottom->addWidget(HelpBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Tabelle, 1);
    layout->addLayout(bottom);

    connect(StationCoBox, &QComboBox::currentIndexChanged, this, &TEreignisDlg::Refill);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    connect(HelpBtn, &QPushButton::clicked, this, &TEreignisDlg::HelpBtnClick);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TEreignisDlg::HelpBtnClick);

    log_.SetListener([this](const EventEntry& entry) {
        if (!Shown(entry.station)) return;
        InsertRow(0, entry);
        if (Tabelle->rowCount() > static_cast<int>(log_.Entries().size()))
            Tabelle->removeRow(Tabelle->rowCount() - 1);
    });
    Refill();
}

TEreignisDlg::~TEreignisDlg() {
    log_.SetListener(nullptr);
}

void TEreignisDlg::HelpBtnClick() {
    ShowHelpContext(kHelpContext);
}

int TEreignisDlg::Filter() const { return StationCoBox->currentData().toInt(); }

bool TEreignisDlg::Shown(int station) const {
    const int filter = Filter();
    return filter == kAll || station == filter || station == EventEntry::kAllStations;
}

void TEreignisDlg::InsertRow(int row, const EventEntry& entry) {
    Tabelle->insertRow(row);
    const QStringList cells = {QString::fromStdString(EventLog::DateTimeText(entry.when)),
                               QString::fromStdString(EventLog::StationText(entry.station)),
                               QString::fromStdString(entry.text)};
    for (int c = 0; c < cells.size(); ++c)
        Tabelle->setItem(row, c, new QTableWidgetItem(cells[c]));
}

void TEreignisDlg::Refill() {
    Tabelle->setRowCount(0);
    int row = 0;
    const auto& entries = log_.Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (Shown(it->station)) InsertRow(row++, *it);
    Tabelle->resizeColumnToContents(0);
    Tabelle->resizeColumnToContents(1);
}
