#include "bosskey.h"
#include "core/logging.h"
#include "box/detachedgames.h"
#include "box/mainwindow.h"
#include "box/trayicon.h"
#include "web/detachedwindow.h"
#include <QSystemTrayIcon>
#include <QWebEnginePage>
#include <QWebEngineView>

BossKey::BossKey(MainWindow *window, DetachedGames *detachedGames)
    : QObject(window)
    , m_window(window)
    , m_detachedGames(detachedGames)
{
}

TrayIcon *BossKey::tray() const
{
    return m_tray;
}

void BossKey::hide()
{
    QList<QWidget *> windows{m_window};
    for (QWidget *detached : m_detachedGames->windows())
        windows.append(detached);
    muteAll(windows);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCWarning(lcCore) << "no system tray: the boss key minimises the box instead of hiding it";
        m_detachedGames->hideAll(true);
        m_window->showMinimized();
        return;
    }
    m_detachedGames->hideAll(false);
    m_window->hide();
    m_tray = new TrayIcon(m_window); // deletes itself once the window is back
    connect(m_tray, &TrayIcon::restoreRequested, m_window, &MainWindow::bringBack);
    connect(m_tray, &TrayIcon::quitRequested, m_window, &MainWindow::quitRequested);
}

void BossKey::muteAll(const QList<QWidget *> &windows)
{
    if (m_active)
        return;
    m_active = true;
    m_states.clear();
    for (QWidget *window : windows) {
        const QList<QWebEngineView *> views = window->findChildren<QWebEngineView *>();
        for (QWebEngineView *view : views)
            muteUntilBack(view->page());
    }
}

void BossKey::muteUntilBack(QWebEnginePage *page)
{
    m_states.append({page, page->isAudioMuted()});
    page->setAudioMuted(true);
}

void BossKey::restore()
{
    if (!m_active)
        return;
    m_active = false;
    for (const auto &state : qAsConst(m_states)) {
        if (state.first)
            state.first->setAudioMuted(state.second);
    }
    m_states.clear();
    m_detachedGames->showAgain();
}
