#include "extras/SaveFileDialog.h"

#include <QFileDialog>
#include <utility>

namespace {
std::function<QString(const QString&)>& Answer() {
    static std::function<QString(const QString&)> answer;
    return answer;
}
}  // namespace

QString AskSaveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter) {
    if (Answer()) return Answer()(caption);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

void SetSaveFileAnswer(std::function<QString(const QString&)> answer) { Answer() = std::move(answer); }
