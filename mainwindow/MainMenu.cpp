// The main menu: captions, hints (status tip and tool tip), help contexts and handlers, and
// help on F1 for the highlighted item.

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "ui/MenuLetters.h"
#include "mainwindow/Tarvo.h"
#include "platform/Help.h"

namespace {
const char* const kHelpContext = "helpContext";

QString U(const char* text) { return QString::fromUtf8(text); }

void Describe(QAction* action, const char* name, const char* hint, int helpContext) {
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(U(hint));
    action->setToolTip(U(hint));
    action->setProperty(kHelpContext, helpContext);
}

int HelpContextOf(const QAction* action) {
    if (!action) return -1;
    const QVariant v = action->property(kHelpContext);
    return v.isValid() ? v.toInt() : -1;
}
}  // namespace

void TForm1::CreateMenu() {
    QMenuBar* bar = menuBar();
    bar->installEventFilter(this);

    // Each menu: its own caption, hint and help context on the item of the bar.
    auto menu = [&](const char* caption, const char* name, const char* hint, int hc) {
        QMenu* m = bar->addMenu(U(caption));
        m->setObjectName(QString::fromLatin1(name));
        m->setToolTipsVisible(true);
        m->installEventFilter(this);
        ChooseByFirstLetter(m);  // the polling cycle renames items without an underlined letter
        Describe(m->menuAction(), name, hint, hc);
        return m;
    };
    auto item = [&](QMenu* m, const char* caption, const char* name, const char* hint, int hc, auto handler) {
        QAction* a = m->addAction(U(caption));
        Describe(a, name, hint, hc);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    QMenu* datei = menu("&Datei", "Datei1", "Dateifunktionen", 2);
    item(datei, "&Beenden", "Beenden1", "Programm beenden", 21, &TForm1::Beenden1Click);

    QMenu* geraet = menu("&Gerät", "Gert1", "Gerätefunktionen", 3);
    item(geraet, "E&infügen", "Einfgen1", "Neues Gerät einfügen", 31, &TForm1::Einfgen1Click);
    item(geraet, "En&tfernen", "Entfernen1", "Aktives Gerät entfernen", 32, &TForm1::Entfernen1Click);
    item(geraet, "&Suchen", "Suchen1", "Angeschlossene Geräte suchen", 33, &TForm1::Suchen1Click);
    geraet->addSeparator();
    item(geraet, "&Lokales Menü", "LokalesMen1", "Lokales Menü des aktiven Gerätes öffnen", 34,
         &TForm1::LokalesMen1Click);

    ItParam = menu("&Parameter", "ItParam", "QTV-Geräteparameter", 4);
    item(ItParam, "&Anzeige...", "Anzeige1", "Einstellungen Display", 41, &TForm1::Anzeige1Click);
    item(ItParam, "Real Time &Clock...", "RealTimeClock1", "Einstellungen Echtzeituhr", 42,
         &TForm1::RealTimeClock1Click);
    item(ItParam, "&Relais...", "Relais1", "Relaisfunktionen", 43, &TForm1::Relais1Click);
    Messbereich1 = item(ItParam, "&Messbereich...", "Messbereich1", "Anzeige und Messbereich", 44,
                        &TForm1::Messbereich1Click);
    Sonstiges1 = item(ItParam, "&Sonstiges...", "Sonstiges1", "Maxwert, Minwert, Impulse", 45,
                      &TForm1::Sonstiges1Click);
    item(ItParam, "&Gerätetyp lesen", "Gertetyplesen1", "QTV-Typ auslesen", 46, &TForm1::Gertetyplesen1Click);

    QMenu* einst = menu("&Einstellungen", "Einstellungen1", "Programmeinstellungen", 5);
    item(einst, "&Titel", "Titel1", "Programmtitel", 51, &TForm1::Titel1Click);
    einst->addSeparator();
    item(einst, "&Gerätezahl", "Gertezahl1", "Maximale Anzahl Geräte (1 - 31)", 52, &TForm1::Gertezahl1Click);
    einst->addSeparator();
    item(einst, "&PC-Sio", "PCSio1", "Serielle Schnittstelle zum Netz", 53, &TForm1::PCSio1Click);
    item(einst, "Alle &Zyklen", "Zyklen1", "Abfragezyklus aller Geräte", 54, &TForm1::Zyklen1Click);
    einst->addSeparator();
    Broadcast1 = item(einst, "&Broadcast", "Broadcast1", "Broadcast- / Normalbetrieb", 55, &TForm1::Broadcast1Click);

    // Our own additions, program-wide, between the settings and the help: the recorded values
    // first, then, behind a separator, the service of the stations (AddServiceItems).
    ItExtras = menu("E&xtras", "Extras1", "Zusatzfunktionen", 8);
    item(ItExtras, "&Verlauf...", "Verlauf1", "Messwertverlauf des aktiven Gerätes anzeigen", 81, &TForm1::Verlauf1Click);
    item(ItExtras, "Aufzeichnungen e&xportieren...", "Exportieren1",
         "Aufgezeichnete Messwerte für Tabellenkalkulationen exportieren", 82, &TForm1::Exportieren1Click);
    AddServiceItems(ItExtras);

    QMenu* hilfe = menu("&Hilfe", "Hilfe1", "Hilfesystem", 6);
    item(hilfe, "&Inhalt", "Inhalt1", "Inhaltsverzeichnis", 61, [] { ShowHelpContents(); });
    item(hilfe, "Inde&x", "Index1", "Suchworte", 62, [] { ShowHelpIndex(); });
    hilfe->addSeparator();
    item(hilfe, "Inf&o", "Info1", "Programminfo", 63, &TForm1::Info1Click);

    // A command of its own on the bar, without a submenu.
    StopItem = bar->addAction(U("&Stop"));
    Describe(StopItem, "StopItem", "Programm Start/Stop", 7);
    connect(StopItem, &QAction::triggered, this, &TForm1::StopItemClick);
}

// Behind the trend items: parameter sets of the active station, the clocks of all polled
// stations, the event log.
void TForm1::AddServiceItems(QMenu* extras) {
    using Handler = void (TForm1::*)();
    auto item = [&](const char* caption, const char* name, const char* hint, int hc, Handler handler) {
        QAction* a = extras->addAction(U(caption));
        Describe(a, name, hint, hc);
        connect(a, &QAction::triggered, this, handler);
    };
    extras->addSeparator();
    item("Parametersatz &sichern...", "Parametersatzsichern1",
         "Alle Parameter des aktiven Gerätes in eine Datei sichern", 84, &TForm1::Parametersatzsichern1Click);
    item("Parametersatz ver&gleichen...", "Parametersatzvergleichen1",
         "Parameter des aktiven Gerätes mit einer Datei vergleichen", 85,
         &TForm1::Parametersatzvergleichen1Click);
    item("Parametersatz &übertragen...", "Parametersatzbertragen1",
         "Parameter aus einer Datei auf das aktive Gerät übertragen", 86,
         &TForm1::Parametersatzbertragen1Click);
    extras->addSeparator();
    item("&Uhren aller Geräte stellen...", "UhrenallerGertestellen1",
         "Uhren aller abgefragten Geräte nach dem PC stellen", 87, &TForm1::UhrenallerGertestellen1Click);
    item("&Ereignisse...", "Ereignisse1", "Ereignisprotokoll des Busses anzeigen", 88,
         &TForm1::Ereignisse1Click);
    // For the operator: every station at a glance, and the limit alarms.
    extras->addSeparator();
    item("S&tationsübersicht...", "Stationsuebersicht1", "Zustand und Messwert aller Geräte in einer Tabelle", 89,
         &TForm1::Stationsuebersicht1Click);
    item("&Alarme...", "Alarme1", "Aktive und vergangene Alarme anzeigen und quittieren", 90, &TForm1::Alarme1Click);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SLabel && event->type() == QEvent::MouseButtonDblClick) {
        SwitchBroadcast();
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        const QAction* highlighted = nullptr;
        if (auto* m = qobject_cast<QMenu*>(watched))
            highlighted = m->activeAction() ? m->activeAction() : m->menuAction();
        if (auto* b = qobject_cast<QMenuBar*>(watched)) highlighted = b->activeAction();
        const int context = HelpContextOf(highlighted);
        if (context >= 0) {
            ShowHelpContext(context);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
