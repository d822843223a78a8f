#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

// The parts of a frameless window that move or resize it: a border of
// `border` pixels on every side, split into edges and corners, and a title
// zone across the top that stops short of the window controls.
namespace WindowZones {

enum class Zone { None, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight, Title };

struct Frame {
    int border = 5;          // 0: no resizing edges
    int titleHeight = 50;
    int controlsWidth = 120; // right end of the title zone: the window controls
};

// A zone's rectangle in window coordinates.
QRect rect(Zone zone, QSize window, const Frame &frame);

// The zone a press at pos starts, None outside them all. Zones overlap (the
// title zone holds the top edge and two corners); they are tried in the order
// left, right, top, bottom, the four corners, title.
Zone zoneAt(QPoint pos, QSize window, const Frame &frame);

Qt::CursorShape cursorShape(Zone zone);

// Where dragging a zone puts the window. press is the geometry when the drag
// began, current the geometry now, delta the cursor's offset from where it was
// pressed, in window coordinates (so that edges which moved the window keep
// working from the current geometry). A change that would take a moving edge
// below the minimum size is left out instead of sliding the window.
QRect draggedGeometry(Zone zone, const QRect &press, const QRect &current, QPoint delta, QSize minimum);

} // namespace WindowZones
