// The program entry: the forms, the message loop, and an exception that reaches the top shown
// in a message box.

#include <QApplication>
#include <QMessageBox>
#include <QWindow>
#include <cstdio>
#include <exception>

#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "platform/FileSizeLimit.h"
#include "platform/ProgramVersion.h"

namespace {
void ShowException(const char* what) {
    QMessageBox::critical(nullptr, QStringLiteral("Tarvo"), QString::fromLocal8Bit(what));
}

// An exception thrown by a handler is shown, and the program goes on with the next event.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowException(e.what());
        } catch (...) {
            ShowException("Unbekannter Fehler");
        }
        return false;
    }
};

// "--config FILE" names another configuration file; besides --version (before the window),
// nothing else is taken from the command line.
QString ConfigFileFromArguments(const QStringList& args) {
    const qsizetype i = args.indexOf(QStringLiteral("--config"));
    if (i >= 0 && i + 1 < args.size()) return args.at(i + 1);
    return DefaultConfigFile(QCoreApplication::applicationFilePath());
}
// With TARVO_REPORT_SHOWN set, "shown" goes to standard output once the main window is on the
// screen, so that bench_startup can time a whole start of the process from outside.
void ReportShownWhenAsked(const QWidget* form) {
    if (!qEnvironmentVariableIsSet("TARVO_REPORT_SHOWN")) return;
    while (!form->windowHandle() || !form->windowHandle()->isExposed()) QApplication::processEvents();
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char* argv[]) {
    if (PrintVersionWhenAsked(argc, argv, "tarvo")) return 0;
    IgnoreFileSizeLimitSignal();  // recording files and the configuration file
    TApplication app(argc, argv);
    int result = 1;
    try {
        TForm1* form = CreateForms(ConfigFileFromArguments(QCoreApplication::arguments()));
        form->show();
        ReportShownWhenAsked(form);
        result = QApplication::exec();
    } catch (const std::exception& e) {
        ShowException(e.what());
    }
    DestroyForms();
    // The link's hooks point into the main window that has just gone; the command-set port is
    // released here, in a known order, rather than somewhere among the static destructors.
    ResetLinkState();
    return result;
}
