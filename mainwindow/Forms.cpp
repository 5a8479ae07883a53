#include "mainwindow/Forms.h"

#include <QFileInfo>

#include "platform/ConfigLocation.h"
#include "platform/FontSubstitutes.h"
#include "platform/ToolkitLanguage.h"

#include "dialogs/Displdlg.h"
#include "dialogs/Feutmpdlg.h"
#include "dialogs/Mbrdlg.h"
#include "dialogs/Pinfon.h"
#include "dialogs/QtvAndlg.h"
#include "dialogs/Reldlg.h"
#include "dialogs/Rtcdlg.h"
#include "dialogs/Sonstdlg.h"
#include "dialogs/Titeldlg.h"
#include "dialogs/Zykludlg.h"
#include "link/Siodlg.h"
#include "mainwindow/Tarvo.h"
#include "panel/Stadrdlg.h"

QString DefaultConfigFile(const QString& programFile) {
    return QFileInfo(ConfigFileForProgram(QFileInfo(programFile).filesystemFilePath())).filePath();
}

TForm1* CreateForms(const QString& configFile, BusWorker::Mode busMode) {
    InstallFontSubstitutes();
    InstallToolkitTranslation();  // the colour dialog and the edits' context menu in German
    Form1 = new TForm1(configFile, busMode);
    DispDlg = new TDispDlg(Form1);
    StADlg = new TStADlg(Form1);
    TitDlg = new TTitDlg(Form1);  // takes the caption read from the file
    PcSioDlg = new TPcSioDlg(Form1);
    PcSioDlg->InitFromSettings(Form1->SioNr, Form1->HostName);
    QtvAnDlg = new TQtvAnDlg(Form1);
    RtcDlg = new TRtcDlg(Form1);
    RelDlg = new TRelDlg(Form1);
    MBrDlg = new TMBrDlg(Form1);
    SonsDlg = new TSonsDlg(Form1);
    ProgInfo = new TProgInfo(Form1);
    FeuTempDlg = new TFeuTempDlg(Form1);
    ZyklDlg = new TZyklDlg(Form1);
    return Form1;
}

void DestroyForms() {
    delete Form1;  // takes its dialogs along
    Form1 = nullptr;
    DispDlg = nullptr;
    StADlg = nullptr;
    TitDlg = nullptr;
    PcSioDlg = nullptr;
    QtvAnDlg = nullptr;
    RtcDlg = nullptr;
    RelDlg = nullptr;
    MBrDlg = nullptr;
    SonsDlg = nullptr;
    ProgInfo = nullptr;
    FeuTempDlg = nullptr;
    ZyklDlg = nullptr;
}
