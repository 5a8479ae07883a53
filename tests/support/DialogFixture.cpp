#include "support/DialogFixture.h"

#include <QTest>

#include "panel/Qtv3590.h"
#include "platform/Help.h"
#include "dialogs/ActiveStation.h"

bool IsTransferError(const ShownMessage& m) {
    return m.caption == QStringLiteral("Meldung") && m.text == QString::fromUtf8("Übertragungsfehler") &&
           m.icon == QMessageBox::Information;
}

DialogFixture::DialogFixture() : owner_(std::make_unique<QWidget>()) {
    portOpened_ = openPort();
    panel_ = newPanel();
    active_ = panel_;
    SetActivePanelSource([this] { return active_; });
    SetMessageObserver([this](const ShownMessage& m) {
        messages.push_back({m, observeAtMessage ? observeAtMessage() : QString()});
    });
    SetHelpObserver([this](int context) { helpRequests.push_back(context); });
}

// The observers and the panel source go back with every other hook (ScriptedBus's LinkReset).
DialogFixture::~DialogFixture() = default;

TQTV3590* DialogFixture::newPanel(std::uint8_t gruppe) {
    auto* panel = new TQTV3590(owner_.get());
    panel->Insert(kStation);
    panel->TypGruppe = gruppe;
    return panel;
}

int DialogFixture::transferErrors() const {
    int n = 0;
    for (const SeenMessage& m : messages)
        if (IsTransferError(m)) ++n;
    return n;
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->home(false);
    QTest::keyClicks(edit, text);
}

bool EndedWithEveryReplyAsked(std::unique_ptr<DialogFixture>& fixture) {
    const std::size_t unasked = fixture->pendingReplies();
    fixture.reset();
    return unasked == 0;
}
