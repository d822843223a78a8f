#pragma once
#include <QList>
#include <QObject>
#include <QPointer>

class CommonWidget;
class MainWdiget;
class PageWeb;

// The games a main window has let out into windows of their own. It moves a
// game tab's page into a detached window and back, and hides and shows those
// windows with the boss key. The windows outlive the main window (after
// "切换账号") and go when closed or when the box quits.
class DetachedGames : public QObject
{
    Q_OBJECT

public:
    explicit DetachedGames(MainWdiget *window);

    // The page of a game tab into a window of its own, still running.
    CommonWidget *detach(PageWeb *page);
    QList<CommonWidget *> windows() const;

    // The boss key: out of sight (minimised where there is no tray to hide
    // behind), and back as they were.
    void hideAll(bool minimizeInstead);
    void showAgain();

private:
    void merge(CommonWidget *window, PageWeb *page, const QString &title);

    MainWdiget *m_window;
    QList<QPointer<CommonWidget>> m_windows;
    QList<QPointer<CommonWidget>> m_hidden;
};
