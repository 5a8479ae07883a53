#pragma once
// Where the help window goes when a dialog asks for it: beside the dialog, never over it, so
// that the operator can read the help and still press the dialog's buttons.

#include <QRect>
#include <QSize>

// The frame of the help window next to the dialog's frame `owner` on `screen` (the available
// area). The side with the most room wins (right first on a tie, then left, below, above); the
// window keeps `wanted` where the room allows and shrinks to at least `minimum`. Only when no
// side has room for `minimum` does it overlap the dialog, on the side with the most room.
QRect PlaceBeside(const QRect& owner, const QSize& wanted, const QSize& minimum, const QRect& screen);
