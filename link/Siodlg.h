#pragma once
// Port selection (TPcSioDlg) and the network link: a network device server's serial port is
// mapped onto a local port number by running the COM-port redirector's command-line tool.

#include <QDialog>
#include <cstdint>

class QLineEdit;
class QRadioButton;
class QPushButton;
class QLabel;
class QSpinBox;

// Registers the redirector's virtual port sioNr for the device server: by hostName when
// internet is true, else by lokalIP, which is cleaned in place (010.000.007.120 -> 10.0.7.120).
// Runs the tool: remservice N 1 (twice), then addservice N ADDRESS 10001, in workingDirectory.
void SetupNetLink(bool internet, std::uint8_t sioNr, const QString& hostName, QString& lokalIP,
                  const QString& workingDirectory);

// The tool's name on this platform, found beside the program file first, then on the search path.
QString RedirectorTool();

// "Schnittstelle wählen". Placeholder form until its behaviour is built.
class TPcSioDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPcSioDlg(QWidget* parent = nullptr);
};

extern TPcSioDlg* PcSioDlg;
