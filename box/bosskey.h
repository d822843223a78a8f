#pragma once
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>

class DetachedGames;
class MainWindow;
class TrayIcon;
class QWebEnginePage;
class QWidget;

// The boss key: the box and its detached games go out of sight behind a tray
// icon with every page muted, pages opened meanwhile too; when the box is
// back, the detached games come back as they were and each page gets its own
// mute state again (a tab muted with "静音" stays muted).
class BossKey : public QObject
{
    Q_OBJECT

public:
    BossKey(MainWindow *window, DetachedGames *detachedGames);

    bool isActive() const { return m_active; }
    // Hides the box into the tray; without a tray it is only minimised, since
    // a hidden box with no icon to click could never come back.
    void hide();
    // The icon while the box hides behind it; it goes once the box is back.
    TrayIcon *tray() const;
    // A page that joins while active: muted until the box is back.
    void muteUntilBack(QWebEnginePage *page);
    // The box is on screen again.
    void restore();

private:
    void muteAll(const QList<QWidget *> &windows);

    MainWindow *m_window;
    DetachedGames *m_detachedGames;
    QPointer<TrayIcon> m_tray;
    QList<QPair<QPointer<QWebEnginePage>, bool>> m_states;
    bool m_active = false;
};
