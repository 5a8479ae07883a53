#include "dialogs/QtvAndlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Help.h"
#include "ui/NumberText.h"
#include "ui/UpDown.h"

TQtvAnDlg* QtvAnDlg = nullptr;

TQtvAnDlg::TQtvAnDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Anzahl Geräte"));
    QFont form(QStringLiteral("Tahoma"));
    form.setPixelSize(13);
    setFont(form);
    setFixedSize(262, 142);

    Label1 = new QLabel(QString::fromUtf8("Maximale Anzahl Geräte"), this);
    Label1->setGeometry(16, 16, 230, 16);
    QtvAnzEd = new QLineEdit(QStringLiteral("0"), this);
    QtvAnzEd->setGeometry(16, 40, 41, 22);
    QtvAnzUDn = new TUpDown(this);
    QtvAnzUDn->setRange(0, 31);
    QtvAnzUDn->setWrap(false);
    QtvAnzUDn->setAssociate(QtvAnzEd);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(16, 100, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    CancelBtn->setGeometry(94, 100, 75, 25);
    HelpBtn = new QPushButton(QStringLiteral("&Hilfe"), this);
    HelpBtn->setGeometry(172, 100, 75, 25);

    connect(QtvAnzEd, &QLineEdit::textChanged, this, &TQtvAnDlg::QtvAnzEdChange);
    connect(OKBtn, &QPushButton::clicked, this, &TQtvAnDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, &TQtvAnDlg::HelpBtnClick);
}

int TQtvAnDlg::MaxGeraete() const { return QtvAnzUDn->position(); }

void TQtvAnDlg::QtvAnzEdChange() {
    if (const auto number = StrToIntOrComplain(QtvAnzEd->text())) QtvAnzUDn->setPosition(*number);
}

// The main window takes MaxGeraete from the spin buttons when the dialog closes with OK.
void TQtvAnDlg::OKBtnClick() { accept(); }

// The form carries no help context of its own: the help opens at its contents.
void TQtvAnDlg::HelpBtnClick() { ShowHelpContext(0); }
