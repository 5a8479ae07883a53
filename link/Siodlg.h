#pragma once
// Port selection (TPcSioDlg) and the network link: a network device server's serial port is
// mapped onto a local port number by running the COM-port redirector's command-line tool.
//
// For the main window: TForm1::PCSio1Click should do nothing but fill a PortSelectionState with
// references to its own state and call RunPortSelection(state); the steps live here so that they
// can be tested without the main window. Call PcSioDlg->InitFromSettings(SioNr, HostName) once
// after the configuration file has been read.

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

// Registers the redirector's virtual port sioNr for the device server: by hostName when
// internet is true, else by lokalIP, which is cleaned in place (010.000.007.120 -> 10.0.7.120).
// Runs the tool: remservice N 1 (twice), then addservice N ADDRESS 10001, in workingDirectory.
// A host name that cannot be resolved shows "IP kann nicht ermittelt werden" and runs nothing.
// A local address of 0.0.0.0 names no device server (the bus is on a port of the PC itself):
// nothing is registered, so a local port above 2 is never covered by a mapping to nowhere.
void SetupNetLink(bool internet, std::uint8_t sioNr, const QString& hostName, QString& lokalIP,
                  const QString& workingDirectory);

// The tool's name on this platform, found beside the program file first, then on the search path.
QString RedirectorTool();

// A local address as typed, three digits per number, with the zeros and blanks in front of each
// number removed; a number of zeros keeps one zero; dots stay (000.000.000.000 -> 0.0.0.0).
QString CleanLocalIp(const QString& lokalIP);

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

// The menu action "&PC-Sio": fills the dialog, shows it modally and applies a confirmed choice.
// True when the dialog was confirmed. The first form uses the global PcSioDlg.
bool RunPortSelection(PortSelectionState& s);
bool RunPortSelection(TPcSioDlg& dlg, PortSelectionState& s);
// The steps before and after the modal run, for callers that show the dialog themselves.
void PreparePortSelection(TPcSioDlg& dlg, const PortSelectionState& s);
void ApplyPortSelection(TPcSioDlg& dlg, PortSelectionState& s);
