#pragma once
// Answers the next modal dialog a handler opens with exec(): the test's function runs on it once
// it is shown. Remembers whether any dialog came up.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

struct DialogAnswer {
    std::shared_ptr<QString> seen = std::make_shared<QString>();
    explicit DialogAnswer(std::function<void(QDialog*)> answer) {
        auto seenTitle = seen;
        QTimer::singleShot(0, [answer, seenTitle] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dlg) return;
            *seenTitle = dlg->metaObject()->className();
            answer(dlg);
        });
    }
};
