#pragma once
#include "core/replyparsers.h"
#include <QWidget>

class PortalApi;
class QComboBox;
struct PortalReply;

// A game and one of its servers, chosen from the portal's server-list API:
// the game box, then the server box. The games are asked for once (again at
// the next showing if that failed), a game's servers at each change of game.
// A game and a server can be proposed by name; the first game and its first
// server stand otherwise.
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

signals:
    void gamesArrived();
    void serversArrived();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void requestGames();
    void requestServers();
    void gamesFinished(const PortalReply &reply);
    // The servers of tag, unless another game is chosen by now.
    void serversFinished(const PortalReply &reply, const QString &tag);

    PortalApi *m_api;
    QComboBox *m_games;
    QComboBox *m_servers;
    QString m_gameName;
    QString m_serverName;
    bool m_gamesLoaded = false;
    bool m_gamesRequested = false;
};
