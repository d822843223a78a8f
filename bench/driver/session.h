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
    // The same with one game page of the portal (path and query).
    bool openGame(const QString &path);
    // A game tab the program opened by itself (from a dialog of its own),
    // once a page after the first `loadsBefore` loads has matched `page`
    // (see PortalLink::waitForLoads()).
    bool waitForOpenedTab(int loadsBefore, const QString &page);
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

    // Every demo game draws on a canvas of one colour that no other page of
    // the portal shows: a band across its middle is the game on screen,
    // whichever game it is and whatever it draws there. The band of the
    // current game tab; an empty rectangle when no game shows.
    QRect findCanvas();
    static bool showsGame(const QRect &canvas);
    // Waits for the game in the current tab to show in the band.
    bool waitForGame(const QRect &canvas, const QString &which);
    // Brings each of count game tabs from `first` on to the front in turn
    // and waits for its game on screen, as a player looks at the games he
    // opened: games opened in a burst are the current tab only for moments,
    // and a page never shown has painted nothing yet.
    bool visitGames(int first, int count, const QRect &canvas);
    // Brings the home tab to the front and waits for the game to go.
    bool showHome(const QRect &canvas);

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
    // Asks the home page for a game in a tab of its own, titled by index.
    bool askForGame(const QString &path, int index);
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
