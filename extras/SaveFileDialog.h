#pragma once
// The question for a file to write; tests answer it instead of the operator.

#include <QString>
#include <functional>

class QWidget;

// An empty answer: cancelled.
QString AskSaveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter);

// Replaces the toolkit's dialog while set (tests); empty restores it.
void SetSaveFileAnswer(std::function<QString(const QString& caption)> answer);
