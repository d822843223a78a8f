#pragma once
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>

class DetachedWindow;
class GamePage;
class QWidget;

// The games a main window has let out into windows of their own: it puts a
// page taken out of its tab into a detached window, hears the window's merge,
// and hides and shows the windows with the boss key. The windows outlive the
// main window (after "切换账号"), on their own, until closed or until the box
// quits.
class DetachedGames : public QObject
{
    Q_OBJECT

public:
    explicit DetachedGames(QObject *parent);
    // The windows stay; they can no longer go back into a main window.
    ~DetachedGames() override;

    // A page already out of its tab, still running, into a window of its own
    // over `over`, kept on its screen.
    DetachedWindow *open(GamePage *page, const QWidget *over);
    QList<DetachedWindow *> windows() const;
    QList<GamePage *> pages() const;

    // The boss key: out of sight (minimised where there is no tray to hide
    // behind), and back as they were.
    void hideAll(bool minimizeInstead);
    void showAgain();

signals:
    void opened(DetachedWindow *window);
    // "窗口合并": the page back into the main window.
    void mergeRequested(GamePage *page);

private:
    QList<QPointer<DetachedWindow>> m_windows;
    // With the state each was in: the window manager forgets a hidden
    // window's state, and Qt may hear of that before it shows it again.
    QList<QPair<QPointer<DetachedWindow>, Qt::WindowStates>> m_hidden;
};
