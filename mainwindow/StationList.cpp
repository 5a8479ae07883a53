// The station slots: creating, inserting and removing panels, the active station, the panel's
// own menu from the main menu, and the end of a panel drag.

#include <QMenu>

#include "extras/ExtrasWindows.h"
#include "link/Sio.h"
#include "mainwindow/Tarvo.h"
#include "mainwindow/TypeGroups.h"

namespace {
constexpr int kMinEdge = 8;
int Snap(int edge) { return std::max(edge & ~7, kMinEdge); }
}  // namespace

bool TForm1::QtvInsert(int n) {
    auto* p = new TQTV3590(Client);
    p->Insert(n);
    connect(p, &TQTV3590::dragEnded, this, &TForm1::PanelDragEnded);
    connect(p, &TQTV3590::trendWanted, this, [this](TQTV3590* panel) {
        if (extras_) extras_->ShowTrend(panel->StatAdr);
    });
    connect(p, &TQTV3590::alarmLimitsWanted, this, &TForm1::EditAlarms);
    connect(p, &TQTV3590::slotsLocked, this, [this](bool& locked) { locked = RefusedDuringSearch(); });
    connect(p, &TQTV3590::addressTaken, this, [this, p](int address, bool& taken) { taken = AddressTaken(address, p); });
    p->PanelMenu()->installEventFilter(this);  // F1 on "&Verlauf..." opens its help topic
    if (p->x() < kMinEdge) p->move(kMinEdge, kMinEdge);
    GeraetPanel[n] = p;
    GeraetBelegt[n] = true;
    ++GeraeteAnzahl;
    Activate(p);
    return true;
}

void TForm1::SetzeTypGruppe(TQTV3590* panel, std::uint16_t typ) { panel->TypGruppe = TypGruppeOf(typ); }

void TForm1::Einfgen1Click() {
    if (RefusedDuringSearch()) return;
    int i = 0;
    while (i < MaxGeraete && GeraetBelegt[i]) ++i;
    if (!GeraetPanel[i]) QtvInsert(i);
}

void TForm1::Entfernen1Click() {
    if (RefusedDuringSearch()) return;
    TQTV3590* p = AktivPanel;
    if (!p) return;
    // The panel's own slot, not its address: the two differ while an address change is pending
    // or when the file said so, and the address may lie beyond the table.
    const int slot = SlotOf(p);
    --GeraeteAnzahl;
    if (slot >= 0) {
        GeraetBelegt[slot] = false;
        GeraetPanel[slot] = nullptr;
    }
    AktivPanel = nullptr;
    delete p;
    update();
}

void TForm1::LokalesMen1Click() {
    if (!AktivPanel) return;
    AktivPanel->PanelMenu()->popup(mapToGlobal(QPoint(0, 0)) + QPoint(50, 30));
}

void TForm1::Activate(TQTV3590* panel) {
    AktivPanel = panel;
    // Dialogs opened before the next tick must already talk to this station: their commands
    // follow this change on the bus.
    if (!panel) return;
    TellLink([address = static_cast<std::uint8_t>(panel->StatAdr & 0xFF)] { BusAdresse = address; });
}

void TForm1::PanelDragEnded(TQTV3590* panel) {
    if (SlotOf(panel) < 0) return;
    Activate(panel);
    const QPoint remembered = panel->pos();
    if (panel->parentWidget() != Client) {
        panel->setParent(Client);
        panel->move(remembered);
        panel->show();
    }
    if (panel->x() < 0) panel->move(remembered);
    // Dropped wholly beyond the right or bottom edge, a panel would stay out of sight.
    if (!Client->rect().intersects(panel->geometry())) {
        panel->move(std::min(panel->x(), std::max(kMinEdge, Client->width() - panel->width())),
                    std::min(panel->y(), std::max(kMinEdge, Client->height() - panel->height())));
    }
    panel->move(Snap(panel->x()), Snap(panel->y()));
}

int TForm1::SlotOf(const TQTV3590* panel) const {
    if (!panel) return -1;
    for (int n = 0; n < kSlots; ++n)
        if (GeraetPanel[n] == panel) return n;
    return -1;
}

bool TForm1::AddressTaken(int address, const TQTV3590* self) const {
    if (address < 0 || address >= kSlots) return true;
    const TQTV3590* holder = GeraetPanel[address];
    if (holder && holder != self) return true;
    // Another panel's pending change may already claim the address.
    for (const TQTV3590* p : GeraetPanel)
        if (p && p != self && p->OldAdr != -1 && p->StatAdr == address) return true;
    return false;
}
