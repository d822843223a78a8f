#include "windowzones.h"

namespace WindowZones {

namespace {
constexpr Zone kPressOrder[] = {Zone::Left,    Zone::Right,      Zone::Top,         Zone::Bottom, Zone::TopLeft,
                                Zone::TopRight, Zone::BottomLeft, Zone::BottomRight, Zone::Title};
} // namespace

QRect rect(Zone zone, QSize window, const Frame &frame)
{
    const int w = window.width();
    const int h = window.height();
    const int b = frame.border;
    if (b <= 0 && zone != Zone::Title)
        return QRect();
    switch (zone) {
    case Zone::Left: return QRect(0, b, b, h - 2 * b);
    case Zone::Right: return QRect(w - b, b, b, h - 2 * b);
    case Zone::Top: return QRect(b, 0, w - 2 * b, b);
    case Zone::Bottom: return QRect(b, h - b, w - 2 * b, b);
    case Zone::TopLeft: return QRect(0, 0, b, b);
    case Zone::TopRight: return QRect(w - b, 0, b, b);
    case Zone::BottomLeft: return QRect(0, h - b, b, b);
    case Zone::BottomRight: return QRect(w - b, h - b, b, b);
    case Zone::Title: return QRect(0, 0, w - frame.controlsWidth, frame.titleHeight);
    case Zone::None: break;
    }
    return QRect();
}

Zone zoneAt(QPoint pos, QSize window, const Frame &frame)
{
    for (Zone zone : kPressOrder) {
        if (rect(zone, window, frame).contains(pos))
            return zone;
    }
    return Zone::None;
}

Qt::CursorShape cursorShape(Zone zone)
{
    switch (zone) {
    case Zone::Left:
    case Zone::Right: return Qt::SizeHorCursor;
    case Zone::Top:
    case Zone::Bottom: return Qt::SizeVerCursor;
    case Zone::TopLeft:
    case Zone::BottomRight: return Qt::SizeFDiagCursor;
    case Zone::TopRight:
    case Zone::BottomLeft: return Qt::SizeBDiagCursor;
    case Zone::Title:
    case Zone::None: break;
    }
    return Qt::ArrowCursor;
}

QRect draggedGeometry(Zone zone, const QRect &press, const QRect &current, QPoint delta, QSize minimum)
{
    const int dx = delta.x();
    const int dy = delta.y();
    // Edges that move the window (left, top) work from the current geometry,
    // because the cursor's window coordinates shift with the window; the
    // others work from the geometry at the press.
    QRect r = current;
    const auto dragLeft = [&] {
        if (r.width() - dx >= minimum.width())
            r.setRect(r.x() + dx, r.y(), r.width() - dx, r.height());
    };
    const auto dragTop = [&] {
        if (r.height() - dy >= minimum.height())
            r.setRect(r.x(), r.y() + dy, r.width(), r.height() - dy);
    };
    const int pressWidth = qMax(press.width() + dx, minimum.width());
    const int pressHeight = qMax(press.height() + dy, minimum.height());

    switch (zone) {
    case Zone::Title:
        r.translate(dx, dy);
        break;
    case Zone::Left:
        dragLeft();
        break;
    case Zone::Right:
        r = QRect(press.x(), press.y(), pressWidth, press.height());
        break;
    case Zone::Top:
        dragTop();
        break;
    case Zone::Bottom:
        r = QRect(press.x(), press.y(), press.width(), pressHeight);
        break;
    case Zone::TopLeft:
        dragLeft();
        dragTop();
        break;
    case Zone::TopRight:
        r.setWidth(pressWidth);
        dragTop();
        break;
    case Zone::BottomLeft:
        dragLeft();
        if (press.height() + dy >= minimum.height())
            r.setHeight(press.height() + dy);
        break;
    case Zone::BottomRight:
        r.setSize(QSize(pressWidth, pressHeight));
        break;
    case Zone::None:
        break;
    }
    return r;
}

} // namespace WindowZones
