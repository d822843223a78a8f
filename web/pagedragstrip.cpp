#include "pagedragstrip.h"
#include "core/logging.h"
#include <QChildEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWindow>

namespace {
// True where a press should move the window: not on (or in) anything the
// page lets the user click or type into. x and y are CSS pixels.
const QString kHitTest = QStringLiteral(R"((function (x, y) {
    const element = document.elementFromPoint(x, y);
    return !!element && getComputedStyle(element).cursor !== 'pointer'
        && !element.closest('a, button, input, select, textarea, label, [contenteditable], [role=button], [role=link], [onclick]');
})(%1, %2))");
} // namespace

PageDragStrip::PageDragStrip(QWebEngineView *view, int height)
    : QObject(view)
    , m_view(view)
    , m_height(height)
{
    // The view's input goes to a child widget of the engine's, made (and at
    // times made anew) as pages load.
    view->installEventFilter(this);
    for (QObject *child : view->children()) {
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
}

bool PageDragStrip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::ChildAdded) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                child->installEventFilter(this);
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            press(static_cast<QWidget *>(watched), mouse->pos(), mouse->globalPos());
        break;
    }
    case QEvent::MouseMove:
        if (m_dragging)
            m_view->window()->move(m_windowPosAtPress + static_cast<QMouseEvent *>(event)->globalPos() - m_pressGlobalPos);
        break;
    case QEvent::MouseButtonRelease:
        m_pressed = false;
        m_dragging = false;
        break;
    default:
        break;
    }
    return false; // the page gets every event
}

void PageDragStrip::press(QWidget *target, QPoint pos, QPoint globalPos)
{
    QWidget *window = m_view->window();
    m_pressed = false;
    m_dragging = false;
    if (target->mapTo(window, pos).y() >= m_height || window->isMaximized() || window->isFullScreen())
        return;
    m_pressed = true;
    m_pressGlobalPos = globalPos;
    m_windowPosAtPress = window->pos();
    const QPointF css = QPointF(target->mapTo(m_view, pos)) / m_view->zoomFactor();
    const int thisPress = ++m_presses;
    // The answer comes while the button is usually still down; once it is
    // up, or another press came, it is too late to move.
    m_view->page()->runJavaScript(kHitTest.arg(css.x()).arg(css.y()), QWebEngineScript::ApplicationWorld,
                                  [self = QPointer<PageDragStrip>(this), thisPress](const QVariant &movable) {
                                      if (self && movable.toBool() && self->m_pressed && self->m_presses == thisPress)
                                          self->startMove();
                                  });
}

void PageDragStrip::startMove()
{
    emit moveStarted();
    QWindow *handle = m_view->window()->windowHandle();
    if (handle && handle->startSystemMove()) {
        qCDebug(lcWeb) << "the window manager moves the window";
        m_pressed = false; // it keeps the pointer until the button is up
        return;
    }
    qCDebug(lcWeb) << "no system move here: the page's strip drags the window";
    m_dragging = true;
}
