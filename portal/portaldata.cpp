#include "portaldata.h"
#include "gamekinds.h"
#include "json.h"
#include <fstream>
#include <set>
#include <sstream>

namespace {

bool readJsonFile(const std::string &path, JsonValue &out, std::string *error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot open";
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    std::string parseError;
    if (!JsonValue::parse(buffer.str(), out, &parseError)) {
        *error = path + ": " + parseError;
        return false;
    }
    return true;
}

bool isCode(const std::string &text)
{
    if (text.empty() || text.size() > 32)
        return false;
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

const GameServer *Game::findServer(const std::string &code) const
{
    for (const GameServer &server : servers) {
        if (server.code == code)
            return &server;
    }
    return nullptr;
}

bool PortalData::load(const std::string &dataDir, int64_t startTime, std::string *error)
{
    m_startTime = startTime - startTime % 60;
    JsonValue games;
    JsonValue accounts;
    JsonValue messages;
    return readJsonFile(dataDir + "/games.json", games, error) && loadGames(games, error)
        && readJsonFile(dataDir + "/accounts.json", accounts, error) && loadAccounts(accounts, error)
        && readJsonFile(dataDir + "/messages.json", messages, error) && loadMessages(messages, error);
}

bool PortalData::loadGames(const JsonValue &root, std::string *error)
{
    std::set<std::string> tags;
    for (const JsonValue &item : root["games"].items()) {
        Game game;
        game.tag = item["tag"].toString();
        game.name = item["gamename"].toString();
        game.kind = item["kind"].toString();
        game.intro = item["intro"].toString();
        // Tags and server codes go into file names and URL patterns unescaped.
        if (!isCode(game.tag) || !tags.insert(game.tag).second) {
            *error = "games.json: missing, invalid or duplicate tag \"" + game.tag + "\"";
            return false;
        }
        if (game.name.empty() || !findGameKind(game.kind)) {
            *error = "games.json: game " + game.tag + " needs a gamename and a known kind";
            return false;
        }
        std::set<std::string> codes;
        for (const JsonValue &entry : item["servers"].items()) {
            GameServer server;
            server.code = entry["server"].toString();
            server.name = entry["name"].toString();
            int64_t offsetMinutes = 0;
            if (!isCode(server.code) || !codes.insert(server.code).second || server.name.empty()
                || !entry["offsetMinutes"].toInt64(offsetMinutes)) {
                *error = "games.json: game " + game.tag + " has an invalid server entry";
                return false;
            }
            server.openTime = m_startTime + offsetMinutes * 60;
            game.servers.push_back(server);
        }
        if (game.servers.empty()) {
            *error = "games.json: game " + game.tag + " has no servers";
            return false;
        }
        m_games.push_back(std::move(game));
    }
    if (m_games.empty()) {
        *error = "games.json: no games";
        return false;
    }
    return true;
}

bool PortalData::loadAccounts(const JsonValue &root, std::string *error)
{
    for (const JsonValue &item : root["accounts"].items()) {
        Account account;
        account.username = item["username"].toString();
        account.password = item["password"].toString();
        account.locked = item["locked"].toBool();
        if (account.username.empty()) {
            *error = "accounts.json: an account has no username";
            return false;
        }
        m_accounts.push_back(account);
    }
    return true;
}

bool PortalData::loadMessages(const JsonValue &root, std::string *error)
{
    for (const JsonValue &item : root["messages"].items()) {
        SiteMessage message;
        int64_t id = 0;
        if (!item["id"].toInt64(id) || id <= 0 || id > 999999 || findMessage(int(id))) {
            *error = "messages.json: invalid or duplicate id";
            return false;
        }
        message.id = int(id);
        message.title = item["title"].toString();
        message.date = item["date"].toString();
        for (const JsonValue &paragraph : item["body"].items())
            message.paragraphs.push_back(paragraph.toString());
        m_messages.push_back(message);
    }
    return true;
}

const Game *PortalData::findGame(const std::string &tag) const
{
    for (const Game &game : m_games) {
        if (game.tag == tag)
            return &game;
    }
    return nullptr;
}

PortalData::LoginResult PortalData::checkLogin(const std::string &username, const std::string &password) const
{
    for (const Account &account : m_accounts) {
        if (account.username != username)
            continue;
        // A locked account is reported as locked only to someone who knows its password.
        if (account.password != password)
            return LoginResult::Rejected;
        return account.locked ? LoginResult::Locked : LoginResult::Accepted;
    }
    return LoginResult::Rejected;
}

const SiteMessage *PortalData::findMessage(int id) const
{
    for (const SiteMessage &message : m_messages) {
        if (message.id == id)
            return &message;
    }
    return nullptr;
}
