// Start-up (the construction of the main window), the orderly exit through "&Beenden", and the
// close box, which ends the program without writing anything.

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "link/Sio.h"
#include "link/SioPort.h"
#include "link/Siodlg.h"
#include "mainwindow/ConfigValue.h"
#include "mainwindow/Tarvo.h"
#include "platform/IniFile.h"
#include "platform/PortPath.h"
#include "ui/ActiveStation.h"
#include "ui/Messages.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(const QString& configFile, QWidget* parent)
    : QMainWindow(parent), configFile_(configFile) {
    GeraeteAnzahl = 0;
    Broadcast = false;
    AktivPanel = nullptr;
    GeraetBelegt.fill(false);
    CreateControls();
    CreateMenu();
    InstallSources();
    SetPortsFolder((ConfigFolder() + QStringLiteral("/ports")).toStdString());

    {
        const IniFile ini(configFile_.toStdString());
        ReadFormSection(ini);
        for (int n = 1; n <= MaxGeraete; ++n)
            if (ini.SectionExists(StationSection(n))) ReadStation(ini, n);
    }

    // Whenever the network link is on, its mapping is registered again before the port opens:
    // the redirector may have been restarted since the last run.
    if (Internet != 0) SetupNetLinkNow(true);
    InitSio(SioNr);  // a port that does not open shows as failing polls, not as a message
    Stop = false;
    Timer1->start();
}

TForm1::~TForm1() {
    Timer1->stop();
    SetActivePanelSource(nullptr);
    SetPortObjectSource(nullptr);
    SetLinkHooks(LinkHooks{});
    TQTV3590::addressTaken = nullptr;
    if (Form1 == this) Form1 = nullptr;
}

QString TForm1::ConfigFolder() const { return QFileInfo(configFile_).absolutePath(); }

void TForm1::CreateControls() {
    resize(kClientWidth, kClientHeight);
    QFont formFont(QStringLiteral("Tahoma"));
    formFont.setPixelSize(13);
    setFont(formFont);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Client = new QWidget(central);
    Client->setObjectName(QStringLiteral("Client"));
    layout->addWidget(Client, 1);

    Label1 = new QLabel(QStringLiteral("Label1"), central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFixedHeight(16);
    QFont bold = formFont;
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setStyleSheet(QStringLiteral("color: #FF0000;"));
    Label1->hide();
    layout->addWidget(Label1);

    SLabel = new QLabel(QStringLiteral("SLabel"), central);
    SLabel->setObjectName(QStringLiteral("SLabel"));
    SLabel->setFixedHeight(16);
    SLabel->setStyleSheet(QStringLiteral("color: #000000;"));
    SLabel->installEventFilter(this);  // double click switches broadcast mode
    layout->addWidget(SLabel);
    setCentralWidget(central);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
}

void TForm1::InstallSources() {
    SetActivePanelSource([this] { return AktivPanel; });
    SetPortObjectSource([this] { return SioObjekt.get(); });
    TQTV3590::addressTaken = [this](int address, const TQTV3590* self) { return AddressTaken(address, self); };
    LinkHooks hooks;
    hooks.stopPolling = [this] { linkRememberedInterval_ = StopTimer(); };
    hooks.restartPolling = [this] { RestoreTimer(linkRememberedInterval_); };
    hooks.setupNetLink = [this](bool internet) { SetupNetLinkNow(internet); };
    SetLinkHooks(std::move(hooks));
}

void TForm1::SetupNetLinkNow(bool internet) { SetupNetLink(internet, SioNr, HostName, LokalIP, ConfigFolder()); }

// Interval 0 is "stopped" here; a QTimer of interval 0 would fire continuously instead.
int TForm1::StopTimer() {
    const int interval = Timer1->isActive() ? Timer1->interval() : 0;
    Timer1->stop();
    return interval;
}

void TForm1::RestoreTimer(int interval) {
    if (interval <= 0) {
        Timer1->stop();
        return;
    }
    Timer1->setInterval(interval);
    Timer1->start();
}

bool TForm1::SaveConfiguration(IniFile& ini) {
    if (ini.Save()) return true;
    ShowInfo(QStringLiteral("Fehler"),
             QString::fromUtf8("Die Konfigurationsdatei \"%1\" kann nicht geschrieben werden.")
                 .arg(QString::fromStdString(ini.path())));
    return false;
}

void TForm1::Beenden1Click() {
    IniFile ini(configFile_.toStdString());
    WriteFormSection(ini);
    const auto belegt = GeraetBelegt;
    for (int n = 0; n <= MaxGeraete; ++n) {
        if (TQTV3590* p = GeraetPanel[n]) {
            p->CloseFile();
            GeraetSchreiben(ini, n);
        } else {
            ini.EraseSection(StationSection(n));
        }
        GeraetBelegt[n] = false;
    }
    if (!SaveConfiguration(ini)) {
        // Ending now would lose every change of this run: stay, as if exit had not been asked.
        GeraetBelegt = belegt;
        for (TQTV3590* p : GeraetPanel)
            if (p && p->WriteStatus) p->GenerateFileName();
        return;
    }
    Timer1->stop();
    if (TQTV3590* active = AktivPanel) {
        const int slot = SlotOf(active);
        if (slot >= 0) GeraetPanel[slot] = nullptr;
        AktivPanel = nullptr;
        delete active;
    }
    SioObjekt.reset();
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // During a search the window takes no input, the close box included.
    if (searching_) {
        event->ignore();
        return;
    }
    Timer1->stop();
    event->accept();
}
