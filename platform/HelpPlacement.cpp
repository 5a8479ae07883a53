#include "platform/HelpPlacement.h"

#include <algorithm>
#include <array>

namespace {
constexpr int kGap = 8;  // between the dialog's frame and the help window's

enum class Side { Right, Left, Below, Above };

struct Room {
    Side side;
    QRect area;  // may be empty or inverted when the dialog touches the screen's edge
};

int Clamp(int value, int low, int high) { return high < low ? low : std::clamp(value, low, high); }

QRect Fit(const Room& room, const QRect& owner, const QSize& size) {
    const QRect& a = room.area;
    switch (room.side) {
    case Side::Right:
        return {QPoint(a.left(), Clamp(owner.top(), a.top(), a.bottom() - size.height() + 1)), size};
    case Side::Left:
        return {QPoint(a.right() - size.width() + 1, Clamp(owner.top(), a.top(), a.bottom() - size.height() + 1)),
                size};
    case Side::Below:
        return {QPoint(Clamp(owner.left(), a.left(), a.right() - size.width() + 1), a.top()), size};
    case Side::Above:
        return {QPoint(Clamp(owner.left(), a.left(), a.right() - size.width() + 1), a.bottom() - size.height() + 1),
                size};
    }
    return {};
}
}  // namespace

QRect PlaceBeside(const QRect& owner, const QSize& wanted, const QSize& minimum, const QRect& screen) {
    const std::array<Room, 4> rooms{{
        {Side::Right, QRect(QPoint(owner.right() + 1 + kGap, screen.top()), screen.bottomRight())},
        {Side::Left, QRect(screen.topLeft(), QPoint(owner.left() - 1 - kGap, screen.bottom()))},
        {Side::Below, QRect(QPoint(screen.left(), owner.bottom() + 1 + kGap), screen.bottomRight())},
        {Side::Above, QRect(screen.topLeft(), QPoint(screen.right(), owner.top() - 1 - kGap))},
    }};
    const QSize floor = minimum.boundedTo(wanted);

    const Room* best = nullptr;
    long long bestArea = -1;
    for (const Room& room : rooms) {
        if (room.area.width() < floor.width() || room.area.height() < floor.height()) continue;
        const QSize size = wanted.boundedTo(room.area.size());
        const long long area = 1LL * size.width() * size.height();
        if (area > bestArea) {
            best = &room;
            bestArea = area;
        }
    }
    if (best) return Fit(*best, owner, wanted.boundedTo(best->area.size()));

    // A screen too small for the dialog and the help side by side: the side with the most room,
    // pushed back onto the screen.
    const Room* widest = &rooms[0];
    for (const Room& room : rooms)
        if (std::max(room.area.width(), 0) * 1LL * std::max(room.area.height(), 0) >
            std::max(widest->area.width(), 0) * 1LL * std::max(widest->area.height(), 0))
            widest = &room;
    const QSize size = floor.boundedTo(screen.size());
    QRect r = Fit(*widest, owner, size);
    r.moveLeft(Clamp(r.left(), screen.left(), screen.right() - size.width() + 1));
    r.moveTop(Clamp(r.top(), screen.top(), screen.bottom() - size.height() + 1));
    return r;
}
