#include "detachedgames.h"
#include "core/logging.h"
#include "web/detachedwindow.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QScreen>

DetachedGames::DetachedGames(QObject *parent)
    : QObject(parent)
{
}

DetachedGames::~DetachedGames()
{
    for (DetachedWindow *window : windows())
        window->setStandalone();
}

DetachedWindow *DetachedGames::open(GamePage *page, const QWidget *over)
{
    // The game may have moved on from the tab's first address (a game page
    // entering a server): its top-up is for where it is now.
    const QUrl current = page->webView()->url();
    auto *window = new DetachedWindow(page, current.isValid() && !current.isEmpty() ? current : page->address());
    connect(window, &DetachedWindow::mergeRequested, this, [this, window](GamePage *merged) {
        m_windows.removeAll(window);
        emit mergeRequested(merged);
    });
    m_windows.append(window);
    // Where the game was: over the box, kept on its screen.
    QRect place(QPoint(), window->size());
    place.moveCenter(over->geometry().center());
    if (const QScreen *screen = over->screen()) {
        const QRect available = screen->availableGeometry();
        place.moveLeft(qBound(available.left(), place.left(), qMax(available.left(), available.right() - place.width())));
        place.moveTop(qBound(available.top(), place.top(), qMax(available.top(), available.bottom() - place.height())));
    }
    window->move(place.topLeft());
    window->show();
    emit opened(window);
    return window;
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

QList<GamePage *> DetachedGames::pages() const
{
    QList<GamePage *> all;
    for (DetachedWindow *window : windows()) {
        if (window->page())
            all.append(window->page());
    }
    return all;
}

void DetachedGames::hideAll(bool minimizeInstead)
{
    for (DetachedWindow *window : windows()) {
        if (!window->isVisible())
            continue;
        if (minimizeInstead) {
            window->showMinimized();
        } else {
            m_hidden.append({window, window->windowState()});
            window->hide();
        }
    }
}

void DetachedGames::showAgain()
{
    const auto hidden = std::exchange(m_hidden, {});
    for (const auto &[window, state] : hidden) {
        if (!window)
            continue;
        window->setWindowState(state);
        window->show();
    }
}
