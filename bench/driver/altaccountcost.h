#pragma once
#include "scenario.h"
#include <QJsonArray>
#include <QRect>

// What a tab of an alt account costs beside tabs of the main account on the
// same game and server, in the client only (the floor has no alt accounts):
// an alt account plays in a web profile of its own. On one start, so that
// all the figures are differences within one process tree: the first game
// tab (main account) pays for what every later game tab shares; then main
// tabs and the first tabs of two alt accounts in turn, and a second tab of
// one of them, each looked at once and the memory taken with the home tab in
// front. The main tabs on either side of each alt account's are the
// baseline, so that whatever the tree gains with each tab weighs on both
// sides alike.
class AltAccountCost
{
public:
    using Figures = Scenario::Figures;

    AltAccountCost(const Scenario::Setup &setup, PortalLink &portal, XWatch &x, const QStringList &games);

    Figures measure(int run);
    QString lastError() const { return m_error; }

private:
    // The process tree's memory at one moment, MiB, and its processes.
    struct Sample
    {
        double pss = 0;
        double anon = 0;
        double own = 0;
        double processes = 0;
    };

    Figures failed(const Session &session);
    // The alt accounts' records as the alt-account table stores them, with
    // check codes the portal issued in this run; empty when it issued none.
    QJsonArray altAccountRecords();
    // The entry of the game every tab plays, as the main account.
    QString mainAccountGame() const;
    // Opens the tabs in turn; the memory before the first and after each.
    bool openTabs(Session &session, QList<Sample> *samples);
    static Figures figures(const QList<Sample> &samples);
    // Opens the game as the main account or, through the alt-account table,
    // as the account of a row; waits for it on screen, brings the home tab
    // back and lets the pages settle.
    bool openAsMain(Session &session, const QRect &canvas);
    bool openAsAlt(Session &session, int row, const QRect &canvas);
    bool lookAndGoHome(Session &session, const QRect &canvas, const QString &which);
    // Clicks "小号" and waits for the table; the window it shows in.
    bool openTable(Session &session, QRect *table);
    Sample sample(const Session &session) const;

    Scenario::Setup m_setup;
    PortalLink &m_portal;
    XWatch &m_x;
    QStringList m_games;
    QString m_error;
};
