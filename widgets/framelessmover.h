#pragma once
#include "widgets/windowzones.h"
#include <QObject>
#include <QPoint>
#include <QRect>

class QWidget;

// Moves and resizes a frameless window from presses in its title zone and on
// its border, as a window manager's frame would: an event filter on the
// window, driven by its presses and hover moves. A maximised or full-screen
// window keeps its place and size. A child widget (a dialog drawn inside the
// main window) is moved only, and stays inside its parent.
class FramelessMover : public QObject
{
    Q_OBJECT

public:
    FramelessMover(QWidget *window, const WindowZones::Frame &frame);

    const WindowZones::Frame &frame() const { return m_frame; }

signals:
    // A double click in the title zone: maximise or restore.
    void titleDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QPoint pos);
    void hoverMove(QPoint pos);

    QWidget *m_window;
    WindowZones::Frame m_frame;
    WindowZones::Zone m_dragZone = WindowZones::Zone::None;
    QRect m_pressGeometry;
    QPoint m_pressPos;
};
