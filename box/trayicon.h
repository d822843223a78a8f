#pragma once
#include <QObject>
#include <QScopedPointer>
#include <QSystemTrayIcon>

class QAction;
class QMenu;

// The icon that stands for the main window while the boss key hides it: its
// menu holds "最大化", "还原" and "退出", and a click (any button but the
// right one, which opens the menu) asks for the window back as "还原" does.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(QAction *restoreMaximized, QAction *restore, QAction *quit, QObject *parent);
    ~TrayIcon() override;

    QSystemTrayIcon *icon() const { return m_icon; }

private:
    QSystemTrayIcon *m_icon;
    QScopedPointer<QMenu> m_menu; // a menu has no widget to belong to here
};
