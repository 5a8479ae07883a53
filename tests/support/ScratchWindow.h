#pragma once
// The one window fixture: the main window started from a configuration text in a scratch folder,
// which is also the current folder (recording files land there), its boxes and notes recorded
// instead of shown, Timer1 stopped so that the test drives the ticks, and its bus inline or on a
// thread of its own. The bus the window talks to comes first, as a base (WithBus), so that the
// link and every process-wide hook are clean before the window starts and put back after it went:
//
//   class MyFixture : public WithBus<ScriptedBus>, public ScratchWindow { ... };

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <utility>
#include <vector>

#include "link/BusWorker.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "ui/Messages.h"

template <class Bus>
struct WithBus {
    template <class... Args>
    explicit WithBus(Args&&... args) : bus(std::forward<Args>(args)...) {}
    Bus bus;
};

class ScratchWindow {
public:
    explicit ScratchWindow(BusWorker::Mode mode = BusWorker::Mode::Inline) : mode_(mode), previous_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
    }
    ~ScratchWindow() {
        DestroyForms();  // the observer goes back with every other hook, when the bus goes
        QDir::setCurrent(previous_);
    }
    ScratchWindow(const ScratchWindow&) = delete;
    ScratchWindow& operator=(const ScratchWindow&) = delete;

    QString configPath() const { return dir_.filePath(QStringLiteral("tarvo.INI")); }
    QString path(const QString& name) const { return dir_.filePath(name); }

    void writeConfig(const QByteArray& text) {
        QFile f(configPath());
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
    }
    QByteArray readConfig() const {
        QFile f(configPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    TForm1& start(const QByteArray& config) {
        writeConfig(config);
        return start();
    }
    TForm1& start() {
        form_ = CreateForms(configPath(), mode_);
        form_->Timer1->stop();
        return *form_;
    }
    TForm1& form() { return *form_; }

    std::vector<ShownMessage> messages;

private:
    BusWorker::Mode mode_;
    QString previous_;
    QTemporaryDir dir_;
    TForm1* form_ = nullptr;
};
