#include "bosskey.h"
#include "box/boxactions.h"
#include "box/trayicon.h"
#include "core/logging.h"
#include <QSystemTrayIcon>
#include <QWidget>

BossKey::BossKey(QWidget *window, BoxActions *actions)
    : QObject(window)
    , m_window(window)
    , m_actions(actions)
{
}

void BossKey::hide()
{
    if (m_active)
        return;
    m_active = true;
    emit silenceRequested(true);
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCWarning(lcCore) << "no system tray: the boss key minimises the box instead of hiding it";
        emit hideDetachedRequested(true);
        m_window->showMinimized();
        return;
    }
    emit hideDetachedRequested(false);
    m_window->hide();
    m_tray = new TrayIcon(m_actions->restoreMaximized, m_actions->restore, m_actions->quit, this);
}

void BossKey::restore()
{
    if (!m_active)
        return;
    m_active = false;
    // Often called from the icon's own click: it goes once that is over.
    if (m_tray) {
        m_tray->icon()->hide();
        m_tray->deleteLater();
    }
    emit silenceRequested(false);
    emit showDetachedRequested();
}
