// The station panel's pop-up menu and its actions (address, cycle, colours, title); the
// recording item's action lives with the recording file.

#include "panel/Qtv3590.h"

#include "panel/Stadrdlg.h"
#include "platform/ProcessHooks.h"
#include "ui/Messages.h"
#include "ui/UpDown.h"

#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace {
// Slots of 15 bytes: at most 14 characters each; the menu ends at the first empty slot.
constexpr char kMenuCaptions[][15] = {
    "&Adresse", "Zyklus", "Aufzeichnen", "-", "&TextFarbe", "&Hintergrund", "-", "T&itel", "",
};
enum MenuTag { kAddress = 0, kCycle = 1, kRecord = 2, kTextColour = 4, kBackground = 5, kTitle = 7 };

TStADlg& StationDialog() {
    if (!StADlg) StADlg = new TStADlg;  // normally the main window has created it at start-up
    return *StADlg;
}

ColourChoice g_colourChoice;
[[maybe_unused]] const bool kColourHook = RegisterProcessHook(HookKind::StandIn, "colour choice", SnapshotOf(g_colourChoice));

std::optional<TColor> AskColour(QWidget* owner) {
    if (g_colourChoice) return g_colourChoice(owner);
    const QColor c = QColorDialog::getColor(QColor(), owner);
    if (!c.isValid()) return std::nullopt;
    return FromQColor(c);
}
}  // namespace

void SetColourChoice(ColourChoice choice) { g_colourChoice = std::move(choice); }

void TQTV3590::BuildPanelMenu() {
    for (int tag = 0; kMenuCaptions[tag][0] != '\0'; ++tag) {
        const QString caption = QString::fromUtf8(kMenuCaptions[tag]);
        QAction* item = panelMenu_->addAction(caption == QLatin1String("-") ? QString() : caption);
        item->setData(tag);
        if (caption == QLatin1String("-")) {
            item->setSeparator(true);
            continue;
        }
        if (tag == kRecord) item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, tag] { PopupItemClick(tag); });
    }
    // Our own addition stays behind the eight items of the table, after a separator.
    panelMenu_->addSeparator();
    trendAction_ = panelMenu_->addAction(QStringLiteral("&Verlauf..."));
    trendAction_->setObjectName(QStringLiteral("Verlauf2"));
    const QString hint = QString::fromUtf8("Messwertverlauf dieses Gerätes anzeigen");
    trendAction_->setStatusTip(hint);
    trendAction_->setToolTip(hint);
    trendAction_->setProperty("helpContext", 83);
    panelMenu_->setToolTipsVisible(true);  // only items with a hint of their own show one
    connect(trendAction_, &QAction::triggered, this, [this] { emit trendWanted(this); });
    QAction* alarms = panelMenu_->addAction(QStringLiteral("Alarm&grenzen..."));
    alarms->setObjectName(QStringLiteral("Alarmgrenzen2"));
    const QString alarmHint = QString::fromUtf8("Alarmgrenzen dieses Gerätes einstellen");
    alarms->setStatusTip(alarmHint);
    alarms->setToolTip(alarmHint);
    alarms->setProperty("helpContext", 91);
    connect(alarms, &QAction::triggered, this, [this] { emit alarmLimitsWanted(this); });
}

QAction* TQTV3590::RecordAction() const {
    for (QAction* item : panelMenu_->actions())
        if (item->data().toInt() == kRecord && !item->isSeparator()) return item;
    return nullptr;
}

void TQTV3590::PopupItemClick(int tag) {
    switch (tag) {
    case kAddress: AddressAction(); break;
    case kCycle: CycleAction(); break;
    case kRecord: RecordingAction(); break;
    case kTextColour:
    case kBackground: ColourAction(tag); break;
    case kTitle: TitleAction(); break;
    default: break;
    }
}

void TQTV3590::AddressAction() {
    bool locked = false;
    emit slotsLocked(locked);
    if (locked) return;
    TStADlg& dlg = StationDialog();
    dlg.setWindowTitle(QStringLiteral(" Stationsadresse"));
    dlg.Label1->setText(QStringLiteral("Stationsadresse"));
    dlg.SaUpDn->setRange(0, 31);
    dlg.SaUpDn->setPosition(StatAdr);
    if (dlg.exec() != QDialog::Accepted) return;
    const int address = dlg.SaUpDn->position();
    bool taken = false;
    if (address != StatAdr) emit addressTaken(address, taken);
    if (taken) {
        ShowInfo(QStringLiteral("Stationsadresse"),
                 QStringLiteral("Die Adresse %1 ist bereits belegt.").arg(address));
        return;
    }
    // The panel still sits in the slot of its first address until the main window moves it;
    // a second change before that must not forget where it sits.
    if (OldAdr == -1) OldAdr = std::int16_t(StatAdr);
    StatAdr = std::uint16_t(address);
    if (OldAdr == StatAdr) OldAdr = -1;
    SetCaption(QStringLiteral(" %1 (%2) ").arg(Titel, QString::number(StatAdr)));
}

void TQTV3590::CycleAction() {
    TStADlg& dlg = StationDialog();
    dlg.setWindowTitle(QStringLiteral(" Zyklen"));
    dlg.Label1->setText(QStringLiteral("Sendezyklen"));
    dlg.SaUpDn->setRange(0, 9999);  // before the position, which the old maximum would cut
    dlg.SaUpDn->setPosition(Zyklus);
    if (dlg.exec() == QDialog::Accepted) SetSZykl(std::uint16_t(dlg.SaUpDn->position()));
    AfterPoll([this] {
        ZVar = 1;
        SioFehler = 0;
        SetFrameColor(kFrameButtonFace);
    });
}

void TQTV3590::ColourAction(int tag) {
    const std::optional<TColor> colour = AskColour(valuePanel_);
    if (!colour) return;
    if (tag == kTextColour)
        SetTextColor(*colour);
    else
        SetHGColor(*colour);
}

void TQTV3590::TitleAction() {
    TStADlg& dlg = StationDialog();
    dlg.setWindowTitle(QString::fromUtf8(" Gerätetitel "));
    dlg.Label1->setText(QStringLiteral(" Titel"));
    dlg.SaUpDn->setPosition(StatAdr);
    dlg.SaUpDn->hide();
    dlg.StAMEdit->hide();
    dlg.StEdit->show();
    dlg.StEdit->setText(Titel);
    const bool ok = dlg.exec() == QDialog::Accepted;
    dlg.StAMEdit->show();
    dlg.StEdit->hide();
    dlg.SaUpDn->show();
    if (!ok) return;
    Titel = dlg.StEdit->text();
    SetCaption(QStringLiteral(" %1 (%2) ").arg(Titel, QString::number(StatAdr)));
}
