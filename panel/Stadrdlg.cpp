#include "panel/Stadrdlg.h"

#include "ui/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TStADlg* StADlg = nullptr;

TStADlg::TStADlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Stationsadresse"));
    setFixedSize(235, 110);
    QFont formFont(QStringLiteral("Tahoma"));
    formFont.setPixelSize(13);
    setFont(formFont);

    Label1 = new QLabel(QStringLiteral("Stationsadresse"), this);
    Label1->setTextFormat(Qt::PlainText);
    QFont labelFont(QStringLiteral("MS Sans Serif"));
    labelFont.setPixelSize(16);
    Label1->setFont(labelFont);
    Label1->move(96, 16);
    Label1->resize(130, 20);

    StAMEdit = new QLineEdit(this);
    StAMEdit->setGeometry(16, 16, 41, 24);
    // Up to four digits, none required; '.' marks the empty places.
    StAMEdit->setInputMask(QStringLiteral("0000;."));
    StAMEdit->setMaxLength(4);
    StAMEdit->setText(QStringLiteral("01"));

    SaUpDn = new TUpDown(this);
    SaUpDn->setRange(0, 31);
    SaUpDn->setWrap(true);
    SaUpDn->setPosition(1);  // the position the text "01" stands for
    SaUpDn->setAssociate(StAMEdit);
    StAMEdit->setText(QStringLiteral("01"));
    connect(StAMEdit, &QLineEdit::textEdited, this, &TStADlg::StAMEditChange);

    StEdit = new QLineEdit(QStringLiteral("StEdit"), this);
    StEdit->setGeometry(16, 16, 200, 24);
    StEdit->hide();

    StOkBtn = new QPushButton(QStringLiteral("OK"), this);
    StOkBtn->setGeometry(24, 72, 75, 25);
    StOkBtn->setDefault(true);
    connect(StOkBtn, &QPushButton::clicked, this, &QDialog::accept);

    // QDialog already rejects on Escape.
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setGeometry(128, 72, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

// OK takes the spin position, so typed digits must reach it.
void TStADlg::StAMEditChange(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok) SaUpDn->setPosition(value);
}
