#include "trayicon.h"
#include <QAction>
#include <QMenu>

TrayIcon::TrayIcon(QAction *restoreMaximized, QAction *restore, QAction *quit, QObject *parent)
    : QObject(parent)
    , m_icon(new QSystemTrayIcon(QIcon(QStringLiteral(":/img/icon_32x32")), this))
    , m_menu(new QMenu)
{
    m_icon->setToolTip(tr("Kavo游戏盒子"));
    m_menu->addAction(restoreMaximized);
    m_menu->addAction(restore);
    m_menu->addSeparator();
    m_menu->addAction(quit);
    m_icon->setContextMenu(m_menu.data());
    connect(m_icon, &QSystemTrayIcon::activated, this, [restore](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick:
        case QSystemTrayIcon::MiddleClick:
            restore->trigger();
            break;
        case QSystemTrayIcon::Context: // the menu opens by itself
        case QSystemTrayIcon::Unknown:
            break;
        }
    });
    m_icon->setVisible(true);
}

TrayIcon::~TrayIcon()
{
    m_icon->hide();
}
