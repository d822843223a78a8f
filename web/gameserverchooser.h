#pragma once
#include "core/replyparsers.h"
#include <QWidget>

class PortalApi;
class QComboBox;
struct PortalReply;

// A game and one of its servers, chosen from the portal's server-list API:
// the game box, then the server box. The games are asked for once, a game's
// servers at each change of game; a list that did not come is asked for
// again at the next showing. A game and a server can be proposed by name;
// the first game and its first server stand otherwise.
class GameServerChooser : public QWidget
{
    Q_OBJECT

public:
    explicit GameServerChooser(PortalApi *api, QWidget *parent = nullptr);

    // Chosen as soon as the lists hold them.
    void propose(const QString &gameName, const QString &serverName);
    PortalChoice currentGame() const;
    PortalChoice currentServer() const;
    bool gamesLoaded() const { return m_gamesLoaded; }
    // Both a game and a server: what a record needs.
    bool hasChoice() const;
    // Why a list did not come, in the user's words; empty while none failed.
    QString problem() const { return m_problem; }

    // The line a dialog shows for a portal request that failed: answered
    // (an error status, a reply it cannot use) or not (no answer at all).
    static QString failureText(bool answered);

signals:
    void gamesArrived();
    void serversArrived();
    // The choice, or a list's problem, changed.
    void changed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void requestGames();
    void requestServers();
    void gamesFinished(const PortalReply &reply);
    // The servers of tag, unless another game is chosen by now.
    void serversFinished(const PortalReply &reply, const QString &tag);
    void setProblem(const QString &problem);

    PortalApi *m_api;
    QComboBox *m_games;
    QComboBox *m_servers;
    QString m_gameName;
    QString m_serverName;
    bool m_gamesLoaded = false;
    bool m_gamesRequested = false;
    bool m_serversLoaded = false;
    bool m_serversRequested = false;
    QString m_problem;
};
