#include "dialogs/Zykludlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/NumberText.h"
#include "ui/UpDown.h"

TZyklDlg* ZyklDlg = nullptr;

TZyklDlg::TZyklDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Zyklen aller Geräte"));
    QFont form(QStringLiteral("Tahoma"));
    form.setPixelSize(13);
    setFont(form);
    setFixedSize(254, 97);

    ZyklEdit = new QLineEdit(QStringLiteral("0"), this);
    ZyklEdit->setGeometry(16, 16, 49, 22);
    ZyklUpDn = new TUpDown(this);
    ZyklUpDn->setRange(0, 1000);
    ZyklUpDn->setWrap(false);
    ZyklUpDn->setAssociate(ZyklEdit);
    Label1 = new QLabel(QStringLiteral("Zyklen"), this);
    Label1->setGeometry(90, 19, 60, 16);
    ZyklOkBtn = new QPushButton(QStringLiteral("OK"), this);
    ZyklOkBtn->setGeometry(8, 58, 75, 25);
    ZyklOkBtn->setDefault(true);
    ZyklBreakBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    ZyklBreakBtn->setGeometry(89, 58, 75, 25);
    ZyklHlpBtn = new QPushButton(QStringLiteral("Hilfe"), this);  // deliberately without action
    ZyklHlpBtn->setGeometry(170, 58, 75, 25);

    connect(ZyklEdit, &QLineEdit::textChanged, this, &TZyklDlg::ZyklEditChange);
    connect(ZyklOkBtn, &QPushButton::clicked, this, &TZyklDlg::ZyklOkBtnClick);
    connect(ZyklBreakBtn, &QPushButton::clicked, this, &QDialog::reject);
}

int TZyklDlg::Position() const { return ZyklUpDn->position(); }

void TZyklDlg::ZyklEditChange() {
    if (const auto number = StrictInteger(ZyklEdit->text())) ZyklUpDn->setPosition(*number);
}

// The main window takes AlleZyklen from the spin buttons when the dialog closes with OK.
void TZyklDlg::ZyklOkBtnClick() { accept(); }
