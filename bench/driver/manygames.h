#pragma once
#include "scenario.h"
#include <QList>
#include <QRect>

// The box as players of a game box use it: twenty games open at once
// (several servers of one game, alt accounts beside the main one), and many
// rounds of opening and closing games in one sitting. Each on a fresh start.
class ManyGames
{
public:
    using Figures = Scenario::Figures;

    ManyGames(const Scenario::Setup &setup, PortalLink &portal, XWatch &x, const QStringList &games);

    // In the screen's width, so that the tab bar shows every tab: memory with
    // 5 games open, each looked at once, and the home tab shown; with 20 open,
    // each looked at once (the last one shown), and the processes; CPU with
    // the home tab shown and the games behind it; tab switches; memory after
    // closing the last 15 of the 20.
    Figures twenty(Launch::Program program, int run);
    // Memory after the first and the last of `rounds` rounds of opening and
    // closing 5 games.
    Figures longRounds(Launch::Program program, int run, int rounds);

    QString lastError() const { return m_error; }
    // Of the last twenty(), ms from each press on a tab to the game on
    // screen, and to the page's first frame by its own report.
    QList<double> switchTimes() const { return m_switches; }
    QList<double> pageSwitchTimes() const { return m_pageSwitches; }
    // Of the last longRounds(), PSS after the first round and every tenth,
    // MiB; and the same of anonymous memory only.
    QList<double> roundMemory() const { return m_roundMemory; }
    QList<double> roundAnonMemory() const { return m_roundAnonMemory; }

private:
    Figures failed(const Session &session);
    bool measureTwenty(Session &session, Figures *figures);
    bool timeSwitches(Session &session, const QRect &canvas, Figures *figures);
    bool timeSwitch(Session &session, int index, const QRect &canvas);

    Scenario::Setup m_setup;
    PortalLink &m_portal;
    XWatch &m_x;
    QStringList m_games;
    QString m_error;
    QList<double> m_switches;
    QList<double> m_pageSwitches;
    QList<double> m_roundMemory;
    QList<double> m_roundAnonMemory;
};
