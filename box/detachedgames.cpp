#include "detachedgames.h"
#include "core/logging.h"
#include "box/mainwindow.h"
#include "web/detachedwindow.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QScreen>
#include <QTabWidget>

DetachedGames::DetachedGames(MainWindow *window)
    : QObject(window)
    , m_window(window)
{
}

DetachedWindow *DetachedGames::detach(GamePage *page)
{
    const int index = m_window->tabWidget()->indexOf(page);
    qCDebug(lcCore) << "分离窗口序号：" << index;
    if (index < MainWindow::kFixedTabs) {
        qCWarning(lcCore) << "only a game tab can go into a window of its own; tab" << index << "stays";
        return nullptr;
    }
    const QString title = page->pageTitle();
    // The game may have moved on from the tab's first address (a game page
    // entering a server): its top-up is for where it is now.
    const QUrl current = page->webView() ? page->webView()->url() : QUrl();
    const QString address = current.isValid() && !current.isEmpty() ? current.toString() : page->pageUrl();
    m_window->detachTab(index);
    auto *detached = new DetachedWindow(page, title, address, m_window);
    connect(detached, &DetachedWindow::mergeRequested, this,
            [this, detached](GamePage *merged, const QString &mergedTitle) { merge(detached, merged, mergedTitle); });
    m_windows.append(detached);
    // Where the game was: over the box, kept on its screen.
    QRect place(QPoint(), detached->size());
    place.moveCenter(m_window->geometry().center());
    if (const QScreen *screen = m_window->screen()) {
        const QRect available = screen->availableGeometry();
        place.moveLeft(qBound(available.left(), place.left(), qMax(available.left(), available.right() - place.width())));
        place.moveTop(qBound(available.top(), place.top(), qMax(available.top(), available.bottom() - place.height())));
    }
    detached->move(place.topLeft());
    detached->show();
    return detached;
}

void DetachedGames::merge(DetachedWindow *window, GamePage *page, const QString &title)
{
    m_windows.removeAll(window);
    m_window->addGameTab(page, title);
    m_window->comeToFront();
}

QList<DetachedWindow *> DetachedGames::windows() const
{
    QList<DetachedWindow *> open;
    for (const QPointer<DetachedWindow> &window : m_windows) {
        if (window)
            open.append(window);
    }
    return open;
}

void DetachedGames::hideAll(bool minimizeInstead)
{
    const QList<DetachedWindow *> open = windows();
    for (DetachedWindow *window : open) {
        if (!window->isVisible())
            continue;
        if (minimizeInstead) {
            window->showMinimized();
        } else {
            m_hidden.append(window);
            window->hide();
        }
    }
}

void DetachedGames::showAgain()
{
    const QList<QPointer<DetachedWindow>> hidden = std::exchange(m_hidden, {});
    for (const QPointer<DetachedWindow> &window : hidden) {
        if (window)
            window->show();
    }
}
