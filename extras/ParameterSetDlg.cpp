#include "extras/ParameterSetDlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <type_traits>
#include <variant>

#include "dialogs/BusAccess.h"
#include "extras/ParameterSetText.h"
#include "link/QtvParameters.h"
#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "platform/Windows1252.h"
#include "service/StationParameters.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

const QColor kDifferent(255, 220, 220);

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// Which field of the panel caches which parameter of the catalogue (link/QtvParameters); each
// field holds the value in the form of the parameter's bytes.
using PanelField = std::variant<std::uint8_t TQTV3590::*, std::int16_t TQTV3590::*, std::uint16_t TQTV3590::*>;
const std::pair<const char*, PanelField> kPanelFields[] = {
    {"Komma", &TQTV3590::Komma},     {"Runden", &TQTV3590::Runden},   {"Durch10", &TQTV3590::Durch10},
    {"SP1Aktiv", &TQTV3590::SP1Aktiv}, {"SP1Funk", &TQTV3590::SP1Funk}, {"SP2Aktiv", &TQTV3590::SP2Aktiv},
    {"SP2Funk", &TQTV3590::SP2Funk}, {"SoMess", &TQTV3590::SoMess},   {"SP1Wert", &TQTV3590::SP1Wert},
    {"SP1Hyst", &TQTV3590::SP1Hyst}, {"SP2Wert", &TQTV3590::SP2Wert}, {"SP2Hyst", &TQTV3590::SP2Hyst},
    {"MBAnf", &TQTV3590::MBAnf},     {"MBEnd", &TQTV3590::MBEnd},     {"ABAnf", &TQTV3590::ABAnf},
    {"ABEnd", &TQTV3590::ABEnd},     {"SP1Verz", &TQTV3590::SP1Verz}, {"SP2Verz", &TQTV3590::SP2Verz},
    {"Mittel", &TQTV3590::Mittel}};

void SetField(TQTV3590& p, const std::string& key, long value) {
    for (const auto& [name, field] : kPanelFields)
        if (key == name)
            std::visit([&](auto member) { p.*member = static_cast<std::remove_reference_t<decltype(p.*member)>>(value); },
                       field);
}

// What the station now holds also goes into its panel, as the dialogs' sends put it there: the
// value display takes Komma and Benennung from it, and the dialogs show the rest again.
void ApplyToPanel(const std::vector<RestoredParameter>& rows, TQTV3590* p) {
    if (!p) return;
    for (const RestoredParameter& row : rows) {
        if (row.outcome != RestoreOutcome::Verified) continue;
        const QtvParameter* parameter = FindQtvParameter(std::string_view(row.key));
        if (parameter && parameter->form == ValueForm::Text) {
            std::string bytes = UnitTextBytes(row.file.text).value_or(std::string());
            bytes = bytes.substr(0, bytes.find('\0'));
            p->SetSBen(QString::fromStdString(Windows1252ToUtf8(bytes)));
            continue;
        }
        const long value = std::stol(row.file.text);
        SetField(*p, row.key, value);
    }
}

void SetRow(QTableWidget* table, int row, const QStringList& cells, bool marked) {
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (marked) item->setBackground(kDifferent);
        table->setItem(row, column, item);
    }
}
}  // namespace

TParamSetDlg::TParamSetDlg(Action action, TQTV3590* station, QWidget* parent)
    : QDialog(parent), action_(action), station_(station) {
    setObjectName(QStringLiteral("ParamSetDlg"));
    setWindowTitle(action == Action::Backup    ? U("Parametersatz sichern")
                   : action == Action::Compare ? U("Parametersatz vergleichen")
                                               : U("Parametersatz übertragen"));
    resize(520, 560);

    StationLabel = new QLabel(this);
    StationLabel->setObjectName(QStringLiteral("StationLabel"));
    if (station_) StationLabel->setText(StationCaption(station_->StatAdr & 0xFF, station_->GetTitel()));

    auto* dateiLabel = new QLabel(QStringLiteral("&Datei:"), this);
    DateiEdit = new QLineEdit(this);
    DateiEdit->setObjectName(QStringLiteral("DateiEdit"));
    dateiLabel->setBuddy(DateiEdit);
    DateiBtn = Button(QStringLiteral("D&urchsuchen..."), "DateiBtn", this);
    StartBtn = Button(action == Action::Backup    ? U("&Sichern")
                      : action == Action::Compare ? U("&Vergleichen")
                                                  : U("Ü&bertragen"),
                      "StartBtn", this);
    StartBtn->setDefault(true);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(dateiLabel);
    fileRow->addWidget(DateiEdit, 1);
    fileRow->addWidget(DateiBtn);
    fileRow->addWidget(StartBtn);

    FrageFrame = new QWidget(this);
    FrageFrame->setObjectName(QStringLiteral("FrageFrame"));
    FrageLabel = new QLabel(FrageFrame);
    FrageLabel->setObjectName(QStringLiteral("FrageLabel"));
    FrageLabel->setWordWrap(true);
    JaBtn = Button(U("&Ja, übertragen"), "JaBtn", FrageFrame);
    NeinBtn = Button(QStringLiteral("&Nein"), "NeinBtn", FrageFrame);
    auto* frage = new QVBoxLayout(FrageFrame);
    frage->setContentsMargins(0, 0, 0, 0);
    frage->addWidget(FrageLabel);
    auto* frageButtons = new QHBoxLayout;
    frageButtons->addStretch();
    frageButtons->addWidget(JaBtn);
    frageButtons->addWidget(NeinBtn);
    frage->addLayout(frageButtons);
    FrageFrame->hide();

    Fortschritt = new QProgressBar(this);
    Fortschritt->setObjectName(QStringLiteral("Fortschritt"));
    Fortschritt->setValue(0);

    Tabelle = new QTableWidget(0, 0, this);
    Tabelle->setObjectName(QStringLiteral("Tabelle"));
    Tabelle->verticalHeader()->hide();
    Tabelle->horizontalHeader()->setStretchLastSection(true);
    Tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);

    SummeLabel = new QLabel(this);
    SummeLabel->setObjectName(QStringLiteral("SummeLabel"));
    SummeLabel->setWordWrap(true);

    CloseBtn = Button(U("S&chließen"), "CloseBtn", this);
    HelpBtn = Button(QStringLiteral("&Hilfe"), "HelpBtn", this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(CloseBtn);
    bottom->addWidget(HelpBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StationLabel);
    layout->addLayout(fileRow);
    layout->addWidget(FrageFrame);
    layout->addWidget(Fortschritt);
    layout->addWidget(Tabelle, 1);
    layout->addWidget(SummeLabel);
    layout->addLayout(bottom);

    connect(DateiBtn, &QPushButton::clicked, this, &TParamSetDlg::DateiBtnClick);
    connect(StartBtn, &QPushButton::clicked, this, &TParamSetDlg::StartBtnClick);
    connect(JaBtn, &QPushButton::clicked, this, &TParamSetDlg::JaBtnClick);
    connect(NeinBtn, &QPushButton::clicked, this, &TParamSetDlg::NeinBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpBtn, &QPushButton::clicked, this, &TParamSetDlg::HelpBtnClick);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TParamSetDlg::HelpBtnClick);
}

int TParamSetDlg::HelpContext() const {
    return action_ == Action::Backup ? kHelpBackup : action_ == Action::Compare ? kHelpCompare : kHelpRestore;
}

void TParamSetDlg::HelpBtnClick() {
    ShowHelpContext(HelpContext());
}

std::uint8_t TParamSetDlg::Address() const { return static_cast<std::uint8_t>(station_->StatAdr & 0xFF); }

void TParamSetDlg::DateiBtnClick() {
    const QString filter = U("Parametersätze (*.ini);;Alle Dateien (*)");
    const QString path = action_ == Action::Backup
                             ? QFileDialog::getSaveFileName(this, windowTitle(), DateiEdit->text(), filter)
                             : QFileDialog::getOpenFileName(this, windowTitle(), DateiEdit->text(), filter);
    if (!path.isEmpty()) DateiEdit->setText(path);
}

// The window takes no clicks while its job runs on the bus; the progress comes after every exchange.
void TParamSetDlg::Busy(bool busy) {
    busy_ = busy;
    for (QWidget* w : {static_cast<QWidget*>(DateiEdit), static_cast<QWidget*>(DateiBtn),
                       static_cast<QWidget*>(StartBtn), static_cast<QWidget*>(CloseBtn)})
        w->setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TParamSetDlg::ShowProgress(int done, int total) {
    Fortschritt->setRange(0, total);
    Fortschritt->setValue(done);
}

// Called on the bus's thread after each exchange; shown on this one.
Progress TParamSetDlg::ProgressHere() {
    const QPointer<QObject> self(this);
    return [self, this](int done, int total) { OnUiThread(self, [this, done, total] { ShowProgress(done, total); }); };
}

void TParamSetDlg::reject() {
    if (!busy_) QDialog::reject();
}

void TParamSetDlg::StartBtnClick() {
    FrageFrame->hide();
    pending_.reset();
    if (!station_) {
        SummeLabel->setText(U("Keine aktive Station."));
        return;
    }
    const QString path = DateiEdit->text().trimmed();
    if (path.isEmpty()) {
        SummeLabel->setText(U("Bitte zuerst eine Datei wählen."));
        return;
    }
    if (action_ == Action::Backup) {
        Backup(path);
        return;
    }
    auto file = LoadFile(path);
    if (!file) return;
    if (action_ == Action::Compare) {
        Compare(*file);
        return;
    }
    // The set is checked whole before the bus is asked anything: one bad entry, and nothing is sent.
    if (const auto bad = BadEntries(*file); !bad.empty()) {
        QStringList entries;
        for (const std::string& e : bad) entries << Q(e);
        SummeLabel->setText(U("Nichts übertragen: ungültige Einträge in der Datei: ") + entries.join(QStringLiteral(", ")));
        return;
    }
    // Before anything is written: which station, and whether the file was taken from its kind.
    Busy(true);
    RunOnBus(
        this, [address = Address()] { return ReadStationType(address); },
        [this, file = std::move(*file), path](const std::optional<std::uint16_t>& stationType) {
            Busy(false);
            AskBeforeRestore(file, path, stationType);
        },
        [this] { Busy(false); });
}

void TParamSetDlg::AskBeforeRestore(ParameterSet file, const QString& path,
                                    const std::optional<std::uint16_t>& stationType) {
    if (!station_) {
        SummeLabel->setText(U("Keine aktive Station."));
        return;
    }
    FrageLabel->setText(RestoreQuestion(file, path, Address(), station_->GetTitel(), stationType));
    pending_ = std::move(file);
    FrageFrame->show();
    StartBtn->setEnabled(false);
    JaBtn->setFocus();
}

void TParamSetDlg::JaBtnClick() {
    FrageFrame->hide();
    StartBtn->setEnabled(true);
    if (pending_ && station_) Restore();
    pending_.reset();
}

void TParamSetDlg::NeinBtnClick() {
    FrageFrame->hide();
    StartBtn->setEnabled(true);
    pending_.reset();
    SummeLabel->setText(U("Nichts übertragen."));
}

std::optional<ParameterSet> TParamSetDlg::LoadFile(const QString& path) {
    std::string error;
    auto set = LoadParameterSet(path.toStdString(), error);
    if (!set) SummeLabel->setText(Q(error));
    return set;
}

void TParamSetDlg::Backup(const QString& path) {
    Busy(true);
    const std::string title = station_ ? station_->GetTitel().toStdString() : std::string();
    RunOnBus(
        this, [address = Address(), title, progress = ProgressHere()] { return ReadParameterSet(address, title, progress); },
        [this, path](const ParameterSet& set) {
            Busy(false);
            ShowBackup(set, path);
        },
        [this] { Busy(false); });
}

void TParamSetDlg::ShowBackup(const ParameterSet& set, const QString& path) {
    const bool saved = SaveParameterSet(set, path.toStdString());
    const auto& parameters = StationParameters();
    Tabelle->clear();
    Tabelle->setColumnCount(2);
    Tabelle->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("Wert")});
    Tabelle->setRowCount(static_cast<int>(parameters.size()));
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const SetValue& v = set.values[i];
        SetRow(Tabelle, static_cast<int>(i), {QString::fromLatin1(parameters[i].key), ValueCell(v)},
               v.state != SetValue::State::Value);
    }
    SummeLabel->setText(BackupSummary(set, path, saved));
}

void TParamSetDlg::Compare(const ParameterSet& file) {
    Busy(true);
    RunOnBus(
        this, [address = Address(), file, progress = ProgressHere()] { return CompareParameterSet(address, file, progress); },
        [this, file](const Comparison& c) {
            Busy(false);
            ShowComparison(c, file);
        },
        [this] { Busy(false); });
}

void TParamSetDlg::ShowComparison(const Comparison& c, const ParameterSet& file) {
    Tabelle->clear();
    Tabelle->setColumnCount(4);
    Tabelle->setHorizontalHeaderLabels(
        {QStringLiteral("Parameter"), QStringLiteral("Datei"), QStringLiteral("Station"), QString()});
    Tabelle->setRowCount(static_cast<int>(c.rows.size()));
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const ComparedParameter& row = c.rows[i];
        const QString station = row.station ? Q(*row.station) : U("nicht gelesen");
        SetRow(Tabelle, static_cast<int>(i),
               {Q(row.key), ValueCell(row.file), station, row.equal ? QString() : U("≠")}, !row.equal);
    }
    SummeLabel->setText(CompareSummary(c, file));
}

void TParamSetDlg::Restore() {
    Busy(true);
    RunOnBus(
        this,
        [address = Address(), file = *pending_, progress = ProgressHere()] {
            return RestoreParameterSet(address, file, progress);
        },
        [this](const std::vector<RestoredParameter>& rows) {
            Busy(false);
            ApplyToPanel(rows, station_);
            ShowRestored(rows);
        },
        [this] { Busy(false); });
}

void TParamSetDlg::ShowRestored(const std::vector<RestoredParameter>& rows) {
    Tabelle->clear();
    Tabelle->setColumnCount(3);
    Tabelle->setHorizontalHeaderLabels(
        {QStringLiteral("Parameter"), QStringLiteral("Wert"), QStringLiteral("Ergebnis")});
    Tabelle->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RestoredParameter& row = rows[i];
        SetRow(Tabelle, static_cast<int>(i), {Q(row.key), ValueCell(row.file), OutcomeText(row)},
               row.outcome != RestoreOutcome::Verified);
    }
    SummeLabel->setText(RestoreSummary(rows));
}
