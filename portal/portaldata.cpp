#include "portaldata.h"
#include "gamekinds.h"
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

namespace {

using nlohmann::json;

// The array under key: empty when the key is missing; a value of another
// type throws, as for every other field.
json::array_t arrayAt(const json &object, const char *key)
{
    return object.value(key, json::array_t());
}

std::string stringAt(const json &object, const char *key)
{
    return object.value(key, std::string());
}

// A whole number under key within [minimum, maximum].
bool integerAt(const json &object, const char *key, int64_t minimum, int64_t maximum, int64_t &out)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return false;
    // Unsigned values beyond int64_t would wrap; none is in range anyway.
    if (it->is_number_unsigned() && it->get<uint64_t>() > uint64_t(maximum))
        return false;
    const int64_t value = it->get<int64_t>();
    if (value < minimum || value > maximum)
        return false;
    out = value;
    return true;
}

// Ten years either way; keeps opening times far from overflow.
const int64_t kMaxOffsetMinutes = 10 * 366 * 24 * 60;

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
    auto loadFile = [&](const char *name, bool (PortalData::*loader)(const json &, std::string *)) {
        const std::string path = dataDir + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            *error = path + ": cannot open";
            return false;
        }
        try {
            return (this->*loader)(json::parse(in), error);
        } catch (const json::exception &e) {
            *error = path + ": " + e.what();
            return false;
        }
    };
    return loadFile("games.json", &PortalData::loadGames) && loadFile("accounts.json", &PortalData::loadAccounts)
        && loadFile("messages.json", &PortalData::loadMessages);
}

bool PortalData::loadGames(const json &root, std::string *error)
{
    std::set<std::string> tags;
    for (const json &item : arrayAt(root, "games")) {
        Game game;
        game.tag = stringAt(item, "tag");
        game.name = stringAt(item, "gamename");
        game.kind = stringAt(item, "kind");
        game.intro = stringAt(item, "intro");
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
        for (const json &entry : arrayAt(item, "servers")) {
            GameServer server;
            server.code = stringAt(entry, "server");
            server.name = stringAt(entry, "name");
            int64_t offsetMinutes = 0;
            if (!isCode(server.code) || !codes.insert(server.code).second || server.name.empty()
                || !integerAt(entry, "offsetMinutes", -kMaxOffsetMinutes, kMaxOffsetMinutes, offsetMinutes)) {
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

bool PortalData::loadAccounts(const json &root, std::string *error)
{
    for (const json &item : arrayAt(root, "accounts")) {
        Account account;
        account.username = stringAt(item, "username");
        account.password = stringAt(item, "password");
        account.locked = item.value("locked", false);
        if (account.username.empty()) {
            *error = "accounts.json: an account has no username";
            return false;
        }
        m_accounts.push_back(account);
    }
    return true;
}

bool PortalData::loadMessages(const json &root, std::string *error)
{
    for (const json &item : arrayAt(root, "messages")) {
        SiteMessage message;
        int64_t id = 0;
        if (!integerAt(item, "id", 1, 999999, id) || findMessage(int(id))) {
            *error = "messages.json: invalid or duplicate id";
            return false;
        }
        message.id = int(id);
        message.title = stringAt(item, "title");
        message.date = stringAt(item, "date");
        for (const json &paragraph : arrayAt(item, "body"))
            message.paragraphs.push_back(paragraph.get<std::string>());
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
