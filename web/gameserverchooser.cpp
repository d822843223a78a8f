#include "gameserverchooser.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include "core/portalapi.h"
#include <QComboBox>
#include <QHBoxLayout>

namespace {
const QString kComboStyle = QStringLiteral(
    "QComboBox { min-height: 30px; min-width: 100px; background-color:transparent; border: 1px solid gray;"
    "border-radius: 3px;}QComboBox QAbstractItemView::item { min-height: 40px; min-width: 60px; }");

void fill(QComboBox *box, const QList<PortalChoice> &choices, const QString &proposed)
{
    const QSignalBlocker quiet(box);
    box->clear();
    for (const PortalChoice &choice : choices)
        box->addItem(choice.name, choice.code);
    const int index = box->findText(proposed);
    box->setCurrentIndex(index >= 0 ? index : 0);
}
} // namespace

GameServerChooser::GameServerChooser(PortalApi *api, QWidget *parent)
    : QWidget(parent)
    , m_api(api)
    , m_games(new QComboBox(this))
    , m_servers(new QComboBox(this))
{
    m_games->setStyleSheet(kComboStyle);
    m_servers->setStyleSheet(kComboStyle);
    m_games->setAccessibleName(tr("游戏"));
    m_servers->setAccessibleName(tr("区服"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_games);
    layout->addSpacing(10);
    layout->addWidget(m_servers);
    connect(m_games, qOverload<int>(&QComboBox::currentIndexChanged), this, &GameServerChooser::requestServers);
    connect(m_servers, qOverload<int>(&QComboBox::currentIndexChanged), this, &GameServerChooser::changed);
    requestGames();
}

QString GameServerChooser::failureText(bool answered)
{
    return answered ? tr("服务器繁忙，请稍后重试") : tr("无法连接到服务器，请稍后重试");
}

bool GameServerChooser::hasChoice() const
{
    return !currentGame().code.isEmpty() && !currentServer().code.isEmpty();
}

void GameServerChooser::setProblem(const QString &problem)
{
    m_problem = problem;
    emit changed();
}

void GameServerChooser::propose(const QString &gameName, const QString &serverName)
{
    m_gameName = gameName;
    m_serverName = serverName;
}

PortalChoice GameServerChooser::currentGame() const
{
    return {m_games->currentData().toString(), m_games->currentText()};
}

PortalChoice GameServerChooser::currentServer() const
{
    return {m_servers->currentData().toString(), m_servers->currentText()};
}

void GameServerChooser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The last try failed.
    if (!m_gamesLoaded && !m_gamesRequested)
        requestGames();
    else if (m_gamesLoaded && !m_serversLoaded && !m_serversRequested)
        requestServers();
}

void GameServerChooser::requestGames()
{
    m_gamesRequested = true;
    m_api->get(Endpoints::url(Endpoints::Address::GameList), this,
               [this](const PortalReply &reply) { gamesFinished(reply); });
}

void GameServerChooser::gamesFinished(const PortalReply &reply)
{
    m_gamesRequested = false;
    if (!reply.ok) {
        setProblem(failureText(reply.status != 0)); // PortalApi said why; the boxes stay as they are
        return;
    }
    const Parsed<QList<PortalChoice>> games = parseGameList(reply.body);
    if (!games.ok()) {
        qCWarning(lcCore).noquote() << "game list: unusable reply," << games.error;
        setProblem(failureText(true));
        return;
    }
    m_gamesLoaded = true;
    m_problem.clear();
    fill(m_games, games.value, m_gameName);
    emit gamesArrived();
    requestServers();
}

void GameServerChooser::requestServers()
{
    // The servers of the game chosen before are no choice for this one, even
    // when its own list does not come: a save would pair the two.
    {
        const QSignalBlocker quiet(m_servers);
        m_servers->clear();
    }
    m_serversLoaded = false;
    const QString tag = m_games->currentData().toString();
    m_serversRequested = !tag.isEmpty();
    emit changed();
    if (tag.isEmpty())
        return;
    m_api->get(Endpoints::url(Endpoints::Address::ServerList, {tag}), this,
               [this, tag](const PortalReply &reply) { serversFinished(reply, tag); });
}

void GameServerChooser::serversFinished(const PortalReply &reply, const QString &tag)
{
    if (tag != m_games->currentData().toString()) {
        qCDebug(lcCore).noquote() << "servers of" << tag << "came after another game was chosen; dropped";
        return;
    }
    m_serversRequested = false;
    if (!reply.ok) {
        setProblem(failureText(reply.status != 0));
        return;
    }
    const Parsed<QList<PortalChoice>> servers = parseServerList(reply.body);
    if (!servers.ok()) {
        qCWarning(lcCore).noquote() << "server list: unusable reply," << servers.error;
        setProblem(failureText(true));
        return;
    }
    m_serversLoaded = true;
    m_problem.clear();
    fill(m_servers, servers.value, m_serverName);
    emit serversArrived();
    emit changed();
}
