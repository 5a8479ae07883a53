#pragma once
// A main window started from a configuration text in a scratch folder (which is also the
// current folder, where recording files land), against standing stations on a scripted line
// (ScriptedBus, which also resets the link state and holds the fake counter), with Timer1
// stopped so that the test drives the ticks itself.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "support/ScriptedBus.h"
#include "ui/Messages.h"

class WindowFixture {
public:
    WindowFixture() : previous_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
        // Boxes are recorded, never shown: a test must not wait for a click.
        SetMessageObserver([this](const ShownMessage& m) { messages.push_back(m); });
    }
    ~WindowFixture() {
        DestroyForms();
        SetMessageObserver({});
        QDir::setCurrent(previous_);
    }

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
        form_ = CreateForms(configPath(), BusWorker::Mode::Inline);
        form_->Timer1->stop();
        return *form_;
    }
    TForm1& form() { return *form_; }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) form_->Timer1Timer();
    }

    ScriptedBus bus;
    std::vector<ShownMessage> messages;

private:
    QString previous_;
    QTemporaryDir dir_;
    TForm1* form_ = nullptr;
};
