#include "dialogs/Titeldlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/Help.h"

TTitDlg* TitDlg = nullptr;

TTitDlg::TTitDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Programmtitel"));
    QFont form(QStringLiteral("Tahoma"));
    form.setPixelSize(13);
    setFont(form);
    setFixedSize(268, 123);

    Label1 = new QLabel(QString::fromUtf8("Programmtitel ändern"), this);
    Label1->setGeometry(16, 12, 237, 16);
    TitleEd = new QLineEdit(QStringLiteral("Netz1"), this);
    TitleEd->setGeometry(16, 34, 237, 22);
    TitOkBtn = new QPushButton(QStringLiteral("OK"), this);
    TitOkBtn->setGeometry(16, 82, 75, 25);
    TitOkBtn->setDefault(true);
    TitCanBtn = new QPushButton(QStringLiteral("Abbruch"), this);
    TitCanBtn->setGeometry(97, 82, 75, 25);
    HelpBtn = new QPushButton(QStringLiteral("&Hilfe"), this);
    HelpBtn->setGeometry(178, 82, 75, 25);

    connect(TitOkBtn, &QPushButton::clicked, this, &TTitDlg::TitOkBtnClick);
    connect(TitCanBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, &TTitDlg::HelpBtnClick);

    if (parent) SetTitleFromCaption(parent->window()->windowTitle());
}

void TTitDlg::SetTitleFromCaption(const QString& caption) { TitleEd->setText(caption); }

// The main window sets its caption from TitleEd when the dialog closes with OK.
void TTitDlg::TitOkBtnClick() { accept(); }

// The form carries no help context of its own: the help opens at its contents.
void TTitDlg::HelpBtnClick() { ShowHelpContext(0); }
