#pragma once
// TProgInfo ("Programminfo"). Placeholder form until its behaviour is built.

#include <QDialog>

class TProgInfo : public QDialog {
    Q_OBJECT
public:
    explicit TProgInfo(QWidget* parent = nullptr);
};

extern TProgInfo* ProgInfo;
