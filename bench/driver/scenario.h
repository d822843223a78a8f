#pragma once
#include "launch.h"
#include <QJsonArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

class PortalLink;
class Session;
class XWatch;

// The measurements, each on a fresh start of one program, driven from
// outside: pages time themselves through the portal, games open through the
// home page's bridge messages, tabs close by clicks on their close buttons.
class Scenario
{
public:
    struct Setup
    {
        QString client;  // binaries
        QString floor;
        QString work;    // a folder per start goes here
        QString iconDir; // the client's images, to find its buttons on screen
        int rounds = 20; // of opening and closing the games
        int games = 5;
        QString binary(Launch::Program program) const { return program == Launch::Program::Client ? client : floor; }
    };
    using Figures = QMap<QString, double>;

    Scenario(const Setup &setup, PortalLink &portal, XWatch &x);

    // One start of each, untimed: the disk cache then holds both programs.
    bool warmUp();
    // Start-up times, memory with the fixed tabs, idle CPU, memory with the
    // games open and after closing them, and over the rounds.
    Figures main(Launch::Program program, int run);
    // CPU while the portal refuses every connection.
    Figures portalDown(Launch::Program program, int run);
    // The client only: due second to notice on screen.
    Figures alarm(int run);
    // The client only: the reminder list or the alt-account table with
    // 10 000 records, from asking to the first paint, and the longest the
    // window did not answer meanwhile; then from End to the last rows painted.
    Figures reminderList(int run);
    Figures accountTable(int run);

    QString lastError() const { return m_error; }
    // PSS after each round of the last main(), MiB.
    QList<double> rounds() const { return m_rounds; }
    QStringList games() const { return m_games; }

private:
    // Keeps the session's error for lastError(); an empty result.
    Figures failed(const Session &session);
    // Asks for a dialog (open()), then waits for it to paint over the middle
    // of the main window, pinging the window throughout.
    bool timeDialog(Session &session, const std::function<bool()> &open, const QString &key, Figures *figures);
    // Presses End over the middle of the main window, where the list shows,
    // and waits for the list to paint its last rows there.
    bool timeScrollToEnd(Session &session, const QString &key, Figures *figures);
    QJsonArray bigList(bool reminders) const;

    Setup m_setup;
    PortalLink &m_portal;
    XWatch &m_x;
    QStringList m_games; // game tags from the portal
    QString m_error;
    QList<double> m_rounds;
};

// A folder of its own for one start of a program.
QString startFolder(const QString &work, const QString &what, Launch::Program program, int run);
