#pragma once
#include <QObject>
#include <QPoint>

class QWebEngineView;
class QWidget;

// Moves the window of a web view by a strip across the top of its page, as
// a title bar does, for pages that draw a title bar of their own (the login
// page's blue bar): a press there on anything but a link, button or field,
// dragged, moves the window. The page still gets every press, so its own
// buttons keep working. What lies under a press is asked of the page in a
// script world of the client's own, out of reach of the page's scripts. The
// window manager moves the window where it can (QWindow::startSystemMove);
// elsewhere the strip drags it itself.
class PageDragStrip : public QObject
{
    Q_OBJECT

public:
    // height: the strip's, in pixels from the top edge of the view's window.
    PageDragStrip(QWebEngineView *view, int height);

signals:
    // A press on the strip has started moving the window.
    void moveStarted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(QWidget *target, QPoint pos, QPoint globalPos);
    void startMove();

    QWebEngineView *m_view;
    int m_height;
    bool m_pressed = false;
    bool m_dragging = false; // the strip's own drag, without a window manager
    int m_presses = 0;       // an answer about an earlier press comes too late
    QPoint m_pressGlobalPos;
    QPoint m_windowPosAtPress;
};
