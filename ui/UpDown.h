#pragma once
// Spin buttons bound to an edit: the edit shows the position as decimal text. The position is
// the spin buttons' own; a dialog's change handler may set it from the edit's text.

#include <QWidget>

class QLineEdit;
class QToolButton;

class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget* parent = nullptr);

    void setAssociate(QLineEdit* edit);  // the buddy edit; placed right of it
    QLineEdit* associate() const { return buddy_; }
    void setRange(int min, int max);
    int minimum() const { return min_; }
    int maximum() const { return max_; }
    void setWrap(bool wrap) { wrap_ = wrap; }
    bool wrap() const { return wrap_; }

    // Clamped into the range; the buddy's text follows (only when it differs, so a buddy whose
    // change handler sets the position does not loop).
    void setPosition(int position);
    int position() const { return position_; }

    // One click on the up or down arrow: wraps around at the ends when wrap is on, else stops.
    void stepUp();
    void stepDown();

signals:
    void positionChanged(int position);

private:
    void step(int delta);
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    bool wrap_ = false;
};
