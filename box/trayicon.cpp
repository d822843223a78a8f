#include "trayicon.h"
#include "app/clientwindows.h"
#include "core/logging.h"
#include <QAction>
#include <QMenu>

TrayIcon::TrayIcon(QWidget *mainWindow, QWidget *parent)
    : QMainWindow(parent)
{
    markClientWindow(this);
    if (mainWindow)
        connect(mainWindow, &QObject::destroyed, this, &QObject::deleteLater);

    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/img/icon_32x32")), this);
    m_trayIcon->setToolTip(tr("Kavo游戏盒子"));
    m_trayIcon->setVisible(true);

    m_maxAction = new QAction(tr("最大化"), this);
    connect(m_maxAction, &QAction::triggered, this, &TrayIcon::showMaximized);
    m_restoreAction = new QAction(tr("还原"), this);
    connect(m_restoreAction, &QAction::triggered, this, &TrayIcon::showNormal);
    m_quitAction = new QAction(tr("退出"), this);
    connect(m_quitAction, &QAction::triggered, this, &TrayIcon::quitRequested);

    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_maxAction);
    m_trayMenu->addAction(m_restoreAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_quitAction);
    m_trayIcon->setContextMenu(m_trayMenu);

    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &TrayIcon::iconActivated);
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::iconActivated(QSystemTrayIcon::ActivationReason reason)
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

void TrayIcon::showMaximized()
{
    qCDebug(lcCore) << "showMaximized";
    emit restoreRequested(true);
    finish();
}

void TrayIcon::showNormal()
{
    emit restoreRequested(false);
    finish();
}

void TrayIcon::finish()
{
    // Called from a signal of the icon or of an action, both children: the
    // icon goes once control is back in the event loop.
    m_trayIcon->hide();
    deleteLater();
}
