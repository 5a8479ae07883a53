#pragma once
// A main window started from a configuration text in a scratch folder (which is also the
// current folder, where recording files land), against stations on a fake line, with Timer1
// stopped so that the test drives the ticks itself.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "StationBus.h"
#include "dialogs/Messages.h"
#include "link/Sio.h"
#include "mainwindow/Forms.h"
#include "mainwindow/Tarvo.h"
#include "platform/Clock.h"

class WindowFixture {
public:
    WindowFixture() : previous_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
        BusAdresse = 0;
        Broadcast = false;
        Internet = 0;
        Negativ = false;
        SioErgebnis = 0;
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
        form_ = CreateForms(configPath());
        form_->Timer1->stop();
        return *form_;
    }
    TForm1& form() { return *form_; }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) form_->Timer1Timer();
    }

    StationBus bus;
    std::vector<ShownMessage> messages;

private:
    QString previous_;
    QTemporaryDir dir_;
    TForm1* form_ = nullptr;
};

// A counter that moves on by a fixed step at every reading, so that waits on it end quickly
// while still counting the time they stand for.
class SteppingMilliseconds {
public:
    explicit SteppingMilliseconds(std::uint64_t msPerReading) : step_(msPerReading * 1'000'000) {
        SetCounter({[] { return std::uint64_t{1'000'000'000}; }, [this] { return now_ += step_; }});
    }
    ~SteppingMilliseconds() { SetCounter({}); }
    std::uint64_t ms() const { return now_ / 1'000'000; }

private:
    std::uint64_t now_ = 0;
    std::uint64_t step_;
};
