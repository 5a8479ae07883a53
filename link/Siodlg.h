#pragma once
// The port dialog TPcSioDlg ("Schnittstelle wählen") and the menu action "&PC-Sio" around it:
// the widget part of the port selection. What a confirmed choice changes, and the network link
// setup, are plain C++ in link/PortSelection and link/NetLink; this file shows, collects, and
// passes the main window's texts and the network link's messages ("Fehler") across.
//
// Contract with the main window:
//   - create PcSioDlg once, after the configuration file has been read, and call
//     InitFromSettings(SioNr, HostName) on it;
//   - the menu action fills the dialog by PreparePortSelection, shows it, and applies what a
//     confirmed dialog hands over (ChosenPort) with ApplyPortChoice of link/PortSelection;
//   - the network link setup at start-up and in the port object's recovery is SetupNetLink below.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

class QLineEdit;
class QRadioButton;
class QPushButton;
class QLabel;
class TUpDown;
class SioPort;

// The network link setup of link/NetLink for the main window's texts: lokalIP is cleaned in
// place in the local way, and the messages are shown with the caption "Fehler".
void SetupNetLink(bool internet, std::uint8_t sioNr, const QString& hostName, QString& lokalIP,
                  const QString& workingDirectory);

// "Schnittstelle wählen".
class TPcSioDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPcSioDlg(QWidget* parent = nullptr);

    // Once, after the main window has read the configuration file.
    void InitFromSettings(std::uint8_t sioNr, const QString& hostName);

    void SioNrEdChange();
    void SioOkBtnClick();
    void HelpBtnClick();

    QLabel* Label1 = nullptr;
    QLineEdit* SioNrEd = nullptr;
    TUpDown* SioNrUDn = nullptr;
    QRadioButton* DirektBtn = nullptr;
    QLineEdit* LipEdit = nullptr;
    QRadioButton* INetBtn = nullptr;
    QLineEdit* HNameEdit = nullptr;
    QPushButton* SioOkBtn = nullptr;
    QPushButton* SioABtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // What "OK" took over: the spin position and the host-name text.
    std::uint8_t SioNr = 1;
    QString HostName;

    static constexpr int kHelpContext = 53;
};

extern TPcSioDlg* PcSioDlg;

// The main window's state that the port selection works on.
struct PortSelectionState {
    std::uint8_t& SioNr;
    std::uint8_t& Internet;
    QString& HostName;
    QString& LokalIP;
    std::unique_ptr<SioPort>& SioObjekt;
    QString workingDirectory;  // the configuration file's folder: the link lands in its ports/
};

// The menu action "&PC-Sio" (the main window's) fills the dialog with the current choice, shows
// it modally and, when it was confirmed, applies what it hands over (ApplyPortChoice) on the bus.
void PreparePortSelection(TPcSioDlg& dlg, const PortSelectionState& s);
struct PortChoice;
PortChoice ChosenPort(const TPcSioDlg& dlg);
