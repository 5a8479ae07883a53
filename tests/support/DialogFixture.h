#pragma once
// What the parameter dialog tests stand on: a ScriptedBus with the command-set port open in
// network mode on station kStation, an active station panel for that station, and records of the
// message boxes and help requests instead of windows. One per test case.

#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "support/ScriptedBus.h"
#include "ui/Messages.h"

class TQTV3590;

// "Übertragungsfehler" in an information box with the caption "Meldung".
bool IsTransferError(const ShownMessage& message);

// Replaces an edit's text as the operator would: all selected and deleted, then typed from the
// start (a masked edit keeps its mask).
void TypeInto(QLineEdit* edit, const QString& text);

class DialogFixture;
// Ends a case's fixture; false when a reply it scripted was never asked for.
[[nodiscard]] bool EndedWithEveryReplyAsked(std::unique_ptr<DialogFixture>& fixture);

class DialogFixture : public ScriptedBus {
public:
    DialogFixture();
    ~DialogFixture();

    bool portOpened() const { return portOpened_; }
    // The station panel the fixture made active (station kStation, device group '1').
    TQTV3590* panel() const { return panel_; }
    // Another panel of station kStation; the test chooses which one is active.
    TQTV3590* newPanel(std::uint8_t gruppe = '1');
    void setActive(TQTV3590* panel) { active_ = panel; }

    // Message boxes shown, each with what observeAtMessage returned when it appeared.
    struct SeenMessage : ShownMessage {
        QString observed;
    };
    std::vector<SeenMessage> messages;
    std::function<QString()> observeAtMessage;
    int transferErrors() const;

    std::vector<int> helpRequests;

private:
    bool portOpened_ = false;
    std::unique_ptr<QWidget> owner_;
    TQTV3590* panel_ = nullptr;
    TQTV3590* active_ = nullptr;
};
