#pragma once
#include <QMainWindow>
#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The icon that stands for the main window while the boss key hides it. A
// click, "还原" or "最大化" asks for the window back and the tray object then
// deletes itself, taking the icon with it; "退出" asks to end the client.
// Never shown itself: it only owns the icon, its menu and the actions.
class TrayIcon : public QMainWindow
{
    Q_OBJECT

public:
    // mainWindow is the window the icon stands for: the tray object goes
    // with it.
    explicit TrayIcon(QWidget *mainWindow, QWidget *parent = nullptr);
    ~TrayIcon() override;

    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }
    QMenu *trayMenu() const { return m_trayMenu; }

signals:
    void restoreRequested(bool maximized);
    void quitRequested();

public slots:
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    // "最大化" and "还原": these ask for the main window, not the tray object.
    void showMaximized();
    void showNormal();

private:
    void finish();

    QSystemTrayIcon *m_trayIcon = nullptr;
    QMenu *m_trayMenu = nullptr;
    QAction *m_maxAction = nullptr;
    QAction *m_restoreAction = nullptr;
    QAction *m_quitAction = nullptr;
};
