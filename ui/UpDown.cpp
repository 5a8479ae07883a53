#include "ui/UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    for (auto* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setFixedWidth(16);
        layout->addWidget(b);
    }
    connect(up_, &QToolButton::clicked, this, &TUpDown::stepUp);
    connect(down_, &QToolButton::clicked, this, &TUpDown::stepDown);
    setFixedWidth(16);
}

void TUpDown::setAssociate(QLineEdit* edit) {
    buddy_ = edit;
    if (!buddy_) return;
    const QRect g = buddy_->geometry();
    setGeometry(g.right() + 1, g.top(), 16, g.height());
    buddy_->setText(QString::number(position_));
}

void TUpDown::setRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    setPosition(position_);
}

void TUpDown::setPosition(int position) {
    position = std::clamp(position, min_, max_);
    const bool changed = position != position_;
    position_ = position;
    if (buddy_) {
        const QString text = QString::number(position_);
        if (buddy_->text() != text) buddy_->setText(text);
    }
    if (changed) emit positionChanged(position_);
}

void TUpDown::stepUp() { step(+1); }
void TUpDown::stepDown() { step(-1); }

void TUpDown::step(int delta) {
    int next = position_ + delta;
    if (next > max_) next = wrap_ ? min_ : max_;
    if (next < min_) next = wrap_ ? max_ : min_;
    setPosition(next);
}
