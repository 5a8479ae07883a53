// The settings of the "&Einstellungen" menu, "Inf&o", and the parameter dialogs of the
// "&Parameter" menu, which open only while stations exist.

#include <QAction>
#include <QLineEdit>

#include "dialogs/Displdlg.h"
#include "ui/Messages.h"
#include "dialogs/Feutmpdlg.h"
#include "dialogs/Mbrdlg.h"
#include "dialogs/Pinfon.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Reldlg.h"
#include "dialogs/Rtcdlg.h"
#include "dialogs/Sonstdlg.h"
#include "dialogs/Titeldlg.h"
#include "dialogs/Zykludlg.h"
#include "link/BusSide.h"
#include "link/PortSelection.h"
#include "link/Sio.h"
#include "link/SioPort.h"
#include "link/Siodlg.h"
#include "mainwindow/ConfigValue.h"
#include "mainwindow/Tarvo.h"
#include "platform/IniFile.h"
#include "ui/UpDown.h"

namespace {
void Run(QDialog* dlg) {
    if (dlg) dlg->exec();
}
}  // namespace

// The cycles and the number of slots stay as they are while a search fills the slots.
void TForm1::Zyklen1Click() {
    if (RefusedDuringSearch()) return;
    IniFile ini(configFile_.toStdString());
    if (!ZyklDlg || ZyklDlg->exec() != QDialog::Accepted) return;
    AlleZyklen = static_cast<std::uint16_t>(ZyklDlg->Position());
    for (int n = 1; n <= MaxGeraete; ++n) {
        TQTV3590* p = GeraetPanel[n];
        if (!p || !GeraetBelegt[n]) continue;
        p->SetSZykl(AlleZyklen);
        const std::uint16_t countdown = AlleZyklen != 0 ? static_cast<std::uint16_t>(n) : 0;
        p->AfterPoll([p, countdown] { p->ZVar = countdown; });
        GeraetSchreiben(ini, n);
    }
    // At once, so that the cycles survive a run that ends without "&Beenden".
    SaveConfiguration(ini);
}

void TForm1::Gertezahl1Click() {
    if (RefusedDuringSearch() || !QtvAnDlg) return;
    QtvAnDlg->QtvAnzEd->setText(QString::number(MaxGeraete));
    QtvAnDlg->QtvAnzUDn->setPosition(MaxGeraete);
    if (QtvAnDlg->exec() != QDialog::Accepted) return;
    MaxGeraete = static_cast<std::uint8_t>(std::clamp(QtvAnDlg->MaxGeraete(), 0, kSlots - 1));
}

void TForm1::Titel1Click() {
    if (TitDlg && TitDlg->exec() == QDialog::Accepted) setWindowTitle(TitDlg->TitleEd->text());
}

void TForm1::Info1Click() { Run(ProgInfo); }

// The dialog at once; the link setup (the redirector's runs, the command-set port given its new
// device, the new port object) on the bus, after the exchange in progress; the settings as the
// link then has them and its messages afterwards, in their order.
void TForm1::PCSio1Click() {
    if (exit_.Begun() || RefusedDuringSearch() || !PcSioDlg) return;
    std::unique_ptr<SioPort> none;  // the dialog shows the settings only; the port object is the bus's
    PortSelectionState state{SioNr, internet_, HostName, LokalIP, none, ConfigFolder()};
    PreparePortSelection(*PcSioDlg, state);
    if (PcSioDlg->exec() != QDialog::Accepted) return;
    const PortChoice choice = ChosenPort(*PcSioDlg);
    struct Outcome {
        LinkSettings settings;
        std::vector<std::string> messages;
    };
    const auto apply = [this, choice] {
        BusState& link = bus_->Here();
        Outcome outcome;
        link.ApplyPortChoice(choice, [&outcome](const std::string& text) { outcome.messages.push_back(text); });
        outcome.settings = link.Settings();
        return outcome;
    };
    // Kept at the exit, as the writes confirmed after it go through the port it chose. This
    // window's copy of the settings follows when the link has them.
    RunOnBus(
        this, apply,
        [this](const Outcome& outcome) {
            TakeLinkSettings(outcome.settings);
            for (const std::string& text : outcome.messages) ShowLinkError(QString::fromStdString(text));
        },
        {}, {}, AtExit::Run);
}

void TForm1::Anzeige1Click() {
    if (GeraeteAnzahl != 0) Run(DispDlg);
}

void TForm1::RealTimeClock1Click() {
    if (GeraeteAnzahl != 0) Run(RtcDlg);
}

void TForm1::Relais1Click() {
    if (GeraeteAnzahl != 0) Run(RelDlg);
}

void TForm1::Messbereich1Click() {
    if (GeraeteAnzahl == 0) return;
    if (AktivPanel && (AktivPanel->GetSTyp() & 0xFF) == 0x90) {
        if (!FeuTempDlg) return;
        FeuTempDlg->ShowKind(AktivPanel->ABAnf);  // its radio buttons from the measuring kind
        FeuTempDlg->exec();
        return;
    }
    Run(MBrDlg);
}

void TForm1::Sonstiges1Click() {
    if (GeraeteAnzahl != 0) Run(SonsDlg);
}
