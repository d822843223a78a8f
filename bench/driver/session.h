#pragma once
#include "xwatch.h"
#include <QMap>
#include <QPoint>
#include <QString>
#include <QStringList>

class Launch;
class PortalLink;

// Runs the event loop for msec: pages settle, renderers exit, timers fire.
void settle(int msec);

// One start of a program under test, driven as a player drives it: logged
// in through the login page, games opened through the home page's bridge,
// game tabs found on the tab bar by their close buttons, then switched and
// closed by clicks.
class Session
{
public:
    using Figures = QMap<QString, double>;

    // games: the portal's game tags, which the opened games go through in turn.
    Session(Launch &launch, PortalLink &portal, XWatch &x, const QStringList &games);

    // Starts the program and waits for the login page, then the home and
    // search pages; with figures, their times from the start.
    bool startAndLogIn(Figures *figures);
    // Opens count more games, each in a tab that becomes the current one,
    // and waits for their pages to load.
    bool openGames(int count);
    // Games opened from now on are titled by their number alone, so that
    // twenty tabs fit on a bar of the screen's width in both programs.
    void useNumbersAsTitles() { m_numberTitles = true; }
    // Closes the rightmost count game tabs, one click at a time.
    bool closeGames(int count);
    int openGameCount() const { return m_open.size(); }
    // Path and query of the game page in game tab `index` (0: the leftmost).
    QString gamePage(int index) const { return m_open.value(index); }

    // Gives the main window the screen's width, so that the tab bar shows
    // every tab of twenty games without scrolling.
    bool widen();
    bool clickHomeTab();
    // Where a click selects game tab `index`; a null point when the bar
    // does not show that tab.
    QPoint gameTabPoint(int index);
    XWatch::Window mainWindow();

    // Of the whole process tree.
    double pssMiB() const;
    int processCount() const;
    // Of the program's own process, without its web-engine helpers.
    double ownPssMiB() const;
    // Of the whole tree, anonymous and shared-memory pages only.
    double anonPssMiB() const;
    double cpuPercent(int msec) const;

    bool fail(const QString &what);
    QString error() const { return m_error; }

private:
    QString gamePath(int index) const;
    // Waits for the tab bar to show count close buttons; where they are,
    // left to right. False when it does not within a few seconds.
    bool waitForCloseButtons(int count, QList<QPoint> *buttons = nullptr);
    QRect tabStrip();

    Launch &m_launch;
    PortalLink &m_portal;
    XWatch &m_x;
    QStringList m_games;
    QStringList m_open; // game pages, in the order of their tabs
    QString m_error;
    bool m_numberTitles = false;
};
