#include "mytray.h"
#include "app/clientwindows.h"
#include "app/logging.h"
#include <QAction>
#include <QMenu>

MyTray::MyTray(QWidget *mainWindow, QWidget *parent)
    : QMainWindow(parent)
{
    markClientWindow(this);
    if (mainWindow)
        connect(mainWindow, &QObject::destroyed, this, &QObject::deleteLater);

    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/img/icon_32x32")), this);
    m_trayIcon->setToolTip(tr("Kavo游戏盒子"));
    m_trayIcon->setVisible(true);

    m_maxAction = new QAction(tr("最大化"), this);
    connect(m_maxAction, &QAction::triggered, this, &MyTray::showMaximized);
    m_restoreAction = new QAction(tr("还原"), this);
    connect(m_restoreAction, &QAction::triggered, this, &MyTray::showNormal);
    m_quitAction = new QAction(tr("退出"), this);
    connect(m_quitAction, &QAction::triggered, this, &MyTray::quitRequested);

    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_maxAction);
    m_trayMenu->addAction(m_restoreAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_quitAction);
    m_trayIcon->setContextMenu(m_trayMenu);

    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &MyTray::iconActivated);
}

MyTray::~MyTray() = default;

void MyTray::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::MiddleClick:
        showNormal();
        break;
    case QSystemTrayIcon::Context: // the menu opens by itself
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void MyTray::showMaximized()
{
    qCDebug(lcCore) << "showMaximized";
    emit restoreRequested(true);
    finish();
}

void MyTray::showNormal()
{
    emit restoreRequested(false);
    finish();
}

void MyTray::finish()
{
    // Called from a signal of the icon or of an action, both children: the
    // icon goes once control is back in the event loop.
    m_trayIcon->hide();
    deleteLater();
}
