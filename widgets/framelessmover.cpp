#include "framelessmover.h"
#include <QHoverEvent>
#include <QMouseEvent>
#include <QWidget>

using WindowZones::Zone;

FramelessMover::FramelessMover(QWidget *window, const WindowZones::Frame &frame)
    : QObject(window)
    , m_window(window)
    , m_frame(frame)
{
    // Children (title bars, labels) pass their presses up; hover moves
    // arrive wherever the cursor is over the window.
    window->setAttribute(Qt::WA_Hover);
    window->setMouseTracking(true);
    window->installEventFilter(this);
    if (!window->isWindow())
        m_frame.border = 0; // a dialog inside a window is moved, never resized
}

bool FramelessMover::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            press(mouse->pos());
        break;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragZone != Zone::None)
            m_window->unsetCursor();
        m_dragZone = Zone::None;
        break;
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && WindowZones::rect(Zone::Title, m_window->size(), m_frame).contains(mouse->pos())) {
            m_dragZone = Zone::None;
            emit titleDoubleClicked();
        }
        break;
    }
    case QEvent::HoverMove:
        hoverMove(static_cast<QHoverEvent *>(event)->pos());
        break;
    default:
        break;
    }
    return false; // the window still sees everything
}

void FramelessMover::press(QPoint pos)
{
    m_pressGeometry = m_window->geometry();
    m_pressPos = pos;
    m_dragZone = WindowZones::zoneAt(pos, m_window->size(), m_frame);
}

void FramelessMover::hoverMove(QPoint pos)
{
    const bool fixed = m_window->isMaximized() || m_window->isFullScreen();
    const Zone under = m_dragZone != Zone::None ? m_dragZone : WindowZones::zoneAt(pos, m_window->size(), m_frame);
    const Qt::CursorShape shape = fixed ? Qt::ArrowCursor : WindowZones::cursorShape(under);
    if (shape == Qt::ArrowCursor)
        m_window->unsetCursor(); // children keep their own cursors
    else
        m_window->setCursor(shape);
    if (m_dragZone == Zone::None || fixed)
        return;

    const QRect target = WindowZones::draggedGeometry(m_dragZone, m_pressGeometry, m_window->geometry(),
                                                      pos - m_pressPos, m_window->minimumSize());
    if (m_dragZone == Zone::Title) {
        QPoint to = target.topLeft();
        if (!m_window->isWindow() && m_window->parentWidget()) {
            const QRect room = m_window->parentWidget()->rect();
            to.setX(qBound(room.left(), to.x(), qMax(room.left(), room.right() + 1 - m_window->width())));
            to.setY(qBound(room.top(), to.y(), qMax(room.top(), room.bottom() + 1 - m_window->height())));
        }
        m_window->move(to);
    } else if (target != m_window->geometry()) {
        m_window->setGeometry(target);
    }
}
