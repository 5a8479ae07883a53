#pragma once
// TTitDlg ("Programmtitel"): lets the operator change the main window's caption. The edit keeps
// its text between openings, also when the dialog was cancelled; on OK the main window takes it.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TTitDlg : public QDialog {
    Q_OBJECT
public:
    // With a parent, the edit starts with the caption of the parent's window.
    explicit TTitDlg(QWidget* parent = nullptr);

    // The main window's caption at the moment the dialog is created.
    void SetTitleFromCaption(const QString& caption);

    QLabel* Label1 = nullptr;
    QLineEdit* TitleEd = nullptr;
    QPushButton* TitOkBtn = nullptr;
    QPushButton* TitCanBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    void TitOkBtnClick();
    void HelpBtnClick();
};

extern TTitDlg* TitDlg;
