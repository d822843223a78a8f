#include "mytray.h"
#include "app/logging.h"
#include "core/mainwdiget.h"
#include <QAction>
#include <QApplication>
#include <QMenu>

namespace {
constexpr int kBalloonMs = 10000;
}

MyTray::MyTray(MainWdiget *mainWindow, QWidget *parent)
    : QMainWindow(parent)
    , m_mainWindow(mainWindow)
{
    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/img/icon_32x32")), this);
    m_trayIcon->setToolTip(QStringLiteral("a trayicon example"));
    m_trayIcon->setVisible(true);

    m_maxAction = new QAction(tr("最大化"), this);
    connect(m_maxAction, &QAction::triggered, this, &MyTray::showMaximized);
    m_restoreAction = new QAction(tr("还原"), this);
    connect(m_restoreAction, &QAction::triggered, this, &MyTray::showNormal);
    m_quitAction = new QAction(tr("退出"), this);
    connect(m_quitAction, &QAction::triggered, qApp, &QCoreApplication::quit);

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
        showNormal();
        break;
    case QSystemTrayIcon::DoubleClick:
        m_trayIcon->showMessage(QStringLiteral("title"), tr("你双击了"), QSystemTrayIcon::Information, kBalloonMs);
        break;
    case QSystemTrayIcon::MiddleClick:
        m_trayIcon->showMessage(QStringLiteral("title"), tr("你中键了"), QSystemTrayIcon::Information, kBalloonMs);
        break;
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void MyTray::showMaximized()
{
    qCDebug(lcCore) << "showMaximized";
    if (m_mainWindow) {
        m_mainWindow->showMaximized();
        m_mainWindow->setMaximizedFlag(true);
    }
    finish();
}

void MyTray::showNormal()
{
    if (m_mainWindow)
        m_mainWindow->showNormal();
    finish();
}

void MyTray::finish()
{
    // Called from a signal of the icon or of an action, both children: the
    // icon goes once control is back in the event loop.
    m_trayIcon->hide();
    deleteLater();
}
