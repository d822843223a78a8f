#pragma once
#include <cstdint>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

struct GameServer
{
    std::string code;     // "s1"…, the enter-game URL's server value
    std::string name;     // display name, e.g. "双线1服"
    int64_t openTime = 0; // Unix seconds
};

struct Game
{
    std::string tag;  // short ASCII code, the enter-game URL's game value
    std::string name;
    std::string kind; // a GameKind id
    std::string intro;
    std::vector<GameServer> servers;

    const GameServer *findServer(const std::string &code) const;
};

struct Account
{
    std::string username;
    std::string password;
    bool locked = false;
};

struct SiteMessage
{
    int id = 0;
    std::string title;
    std::string date;
    std::vector<std::string> paragraphs;
};

// The demo content read once at start-up from the data folder. Read-only after
// load(), so the server's worker threads share it without locking.
class PortalData
{
public:
    enum class LoginResult { Accepted, Locked, Rejected };

    // Server opening times are offsets in games.json, placed relative to startTime
    // (rounded down to the minute) so every run has servers that open soon.
    bool load(const std::string &dataDir, int64_t startTime, std::string *error);

    int64_t startTime() const { return m_startTime; }
    const std::vector<Game> &games() const { return m_games; }
    const Game *findGame(const std::string &tag) const;
    LoginResult checkLogin(const std::string &username, const std::string &password) const;
    const std::vector<SiteMessage> &messages() const { return m_messages; }
    const SiteMessage *findMessage(int id) const;

private:
    // Each throws nlohmann::json::exception for a value of the wrong type.
    bool loadGames(const nlohmann::json &root, std::string *error);
    bool loadAccounts(const nlohmann::json &root, std::string *error);
    bool loadMessages(const nlohmann::json &root, std::string *error);

    int64_t m_startTime = 0;
    std::vector<Game> m_games;
    std::vector<Account> m_accounts;
    std::vector<SiteMessage> m_messages;
};
