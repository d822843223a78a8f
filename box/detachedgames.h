#pragma once
#include <QList>
#include <QObject>
#include <QPointer>

class DetachedWindow;
class MainWindow;
class GamePage;

// The games a main window has let out into windows of their own. It moves a
// game tab's page into a detached window and back, and hides and shows those
// windows with the boss key. The windows outlive the main window (after
// "切换账号") and go when closed or when the box quits.
class DetachedGames : public QObject
{
    Q_OBJECT

public:
    explicit DetachedGames(MainWindow *window);

    // The page of a game tab into a window of its own, still running.
    DetachedWindow *detach(GamePage *page);
    QList<DetachedWindow *> windows() const;

    // The boss key: out of sight (minimised where there is no tray to hide
    // behind), and back as they were.
    void hideAll(bool minimizeInstead);
    void showAgain();

private:
    void merge(DetachedWindow *window, GamePage *page, const QString &title);

    MainWindow *m_window;
    QList<QPointer<DetachedWindow>> m_windows;
    QList<QPointer<DetachedWindow>> m_hidden;
};
