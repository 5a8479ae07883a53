#include "panel/Qtv3590.h"

#include "ui/MenuLetters.h"
#include "platform/Clock.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
// A drag starts only once the mouse has gone this far from where the button went down.
constexpr int kDragThreshold = 8;

void SetRole(QWidget* w, QPalette::ColorRole role, TColor c) {
    QPalette p = w->palette();
    p.setColor(role, ToQColor(c));
    w->setPalette(p);
}
}  // namespace

TQTV3590::TQTV3590(QWidget* owner) : QGroupBox(owner) {
    setGeometry(8, 8, 135, 60);
    setAutoFillBackground(true);

    valuePanel_ = new QFrame(this);
    valuePanel_->setGeometry(8, 20, 120, 33);
    valuePanel_->setFrameStyle(QFrame::Box | QFrame::Plain);
    valuePanel_->setLineWidth(1);
    valuePanel_->setAutoFillBackground(true);

    valueLabel_ = new QLabel(valuePanel_);
    valueLabel_->setTextFormat(Qt::PlainText);
    valueLabel_->setAutoFillBackground(true);
    // Windows finds Arial by its name and ignores the fixed-pitch request that comes with it;
    // fontconfig would honour the request and trade Arial for a monospace face too wide for the
    // value field. So only the face is asked for (its stand-ins: platform/FontSubstitutes).
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(14);
    font.setBold(true);
    valueLabel_->setFont(font);
    valueLabel_->move(8, 5);

    SetFrameColor(clWhite);
    SetCaptionColor(clBlack);
    SetTextColor(clBlack);
    SetHGColor(clWhite);
    SetText(QString());
    SetCaption(QString());

    panelMenu_ = new QMenu(this);
    ChooseByFirstLetter(panelMenu_);  // "Zyklus" has no underlined letter
    BuildPanelMenu();
}

TQTV3590::~TQTV3590() { CloseFile(); }

void TQTV3590::EndPoll() {
    pollUnderWay_ = false;
    std::vector<std::function<void()>> kept;
    kept.swap(afterPoll_);
    for (const auto& change : kept) change();
}

void TQTV3590::AfterPoll(std::function<void()> change) {
    if (pollUnderWay_)
        afterPoll_.push_back(std::move(change));
    else
        change();
}

void TQTV3590::Insert(int n) {
    Benennung = QStringLiteral("...");
    StatAdr = std::uint16_t(n);
    OldAdr = -1;
    Titel = QString::fromUtf8("Gerät");
    SetCaption(QStringLiteral(" %1 (%2) ").arg(Titel, QString::number(n)));
    show();
}

void TQTV3590::SetTextColor(TColor c) {
    textColor_ = c;
    SetRole(valueLabel_, QPalette::WindowText, c);
}

void TQTV3590::SetHGColor(TColor c) {
    backgnd_ = c;
    SetRole(valuePanel_, QPalette::Window, c);
    SetRole(valueLabel_, QPalette::Window, c);
}

void TQTV3590::SetText(const QString& text) {
    Text = text;
    valueLabel_->setText(text);
    valueLabel_->adjustSize();
}

void TQTV3590::SetTitel(const QString& titel) {
    Titel = titel;
    SetCaption(QStringLiteral("%1 (%2)").arg(Titel, QString::number(StatAdr)));
}

void TQTV3590::SetCaption(const QString& caption) {
    caption_ = caption;
    QString escaped = caption;
    setTitle(escaped.replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void TQTV3590::SetFrameColor(TColor c) {
    frameColor_ = c;
    SetRole(this, QPalette::Window, c);
}

// The group box palette would flow into the value field; the value field's own roles are set
// explicitly (SetTextColor, SetHGColor), and an explicitly set role is never inherited over.
void TQTV3590::SetCaptionColor(TColor c) {
    captionColor_ = c;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(c));
    p.setColor(QPalette::Text, ToQColor(c));  // some styles draw the title in this role
    setPalette(p);
    SetRole(valuePanel_, QPalette::WindowText, clBlack);  // the value field's border line
    SetRole(valueLabel_, QPalette::WindowText, textColor_);
}

void TQTV3590::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;  // the context menu event follows
    }
    if (event->button() != Qt::LeftButton) {
        QGroupBox::mousePressEvent(event);
        return;
    }
    event->accept();
    emit dragStarted(this);
    if (x() == 0) return;
    dragArmed_ = true;
    dragMoving_ = false;
    pressGlobal_ = event->globalPosition().toPoint();
    pressPos_ = pos();
}

void TQTV3590::mouseMoveEvent(QMouseEvent* event) {
    if (!dragArmed_) {
        QGroupBox::mouseMoveEvent(event);
        return;
    }
    event->accept();
    const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
    if (!dragMoving_ && std::abs(delta.x()) < kDragThreshold && std::abs(delta.y()) < kDragThreshold) return;
    dragMoving_ = true;
    QPoint target = pressPos_ + delta;
    if (QWidget* parent = parentWidget()) {
        target.setX(std::max(0, std::min(target.x(), parent->width() - width())));
        target.setY(std::max(0, std::min(target.y(), parent->height() - height())));
    }
    move(target);
}

void TQTV3590::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragArmed_) {
        QGroupBox::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    dragArmed_ = false;
    dragMoving_ = false;
    emit dragEnded(this);
}

void TQTV3590::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    panelMenu_->popup(event->globalPos());
}

QString TQTV3590::PollToolTip() const { return PollStatisticsText(PollStats, Zyklus, LocalMilliseconds(LocalNow())); }

// Built when asked for, so that the age is that of the moment the tooltip shows.
bool TQTV3590::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), PollToolTip(), this);
        return true;
    }
    return QGroupBox::event(event);
}
