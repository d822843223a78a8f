#pragma once
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>

class MainWdiget;
class QAction;
class QMenu;

// The icon that stands for the main window while the boss key hides it. A
// click, "还原" or "最大化" brings the window back, and the tray object then
// deletes itself, taking the icon with it. Never shown itself: it only owns
// the icon, its menu and the actions.
class MyTray : public QMainWindow
{
    Q_OBJECT

public:
    explicit MyTray(MainWdiget *mainWindow, QWidget *parent = nullptr);
    ~MyTray() override;

    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QMenu *trayMenu() const { return m_trayMenu; }

public slots:
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    // These act on the main window, not on the tray object.
    void showMaximized();
    void showNormal();

private:
    void finish();

    QSystemTrayIcon *m_trayIcon = nullptr;
    QMenu *m_trayMenu = nullptr;
    QAction *m_maxAction = nullptr;
    QAction *m_restoreAction = nullptr;
    QAction *m_quitAction = nullptr;
    QPointer<MainWdiget> m_mainWindow;
};
