#include "sessions.h"
#include "portaldata.h"
#include <algorithm>

namespace {

const char kMemberCookie[] = "kavo_member";
const char kGameCookiePrefix[] = "kavo_game_";
// Where the game pages live; the member's own pages never see a game's cookie.
const char kGamePath[] = "/play/";

std::string setCookie(const std::string &name, const std::string &id, const std::string &path)
{
    // No Max-Age: the sessions die with the portal, so the cookies may as well
    // end with the browser's session.
    return name + '=' + id + "; Path=" + path + "; HttpOnly; SameSite=Lax";
}

std::string trimmed(const std::string &text, size_t begin, size_t end)
{
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// The first cookie of that name: browsers send the one with the longest
// path first, and a request may carry more than one Cookie header.
std::optional<std::string> cookie(const httplib::Request &req, const std::string &name)
{
    const size_t headers = req.get_header_value_count("Cookie");
    for (size_t i = 0; i < headers; ++i) {
        const std::string header = req.get_header_value("Cookie", i);
        size_t start = 0;
        while (start <= header.size()) {
            const size_t end = std::min(header.find(';', start), header.size());
            const size_t equals = header.find('=', start);
            if (equals < end && trimmed(header, start, equals) == name)
                return trimmed(header, equals + 1, end);
            start = end + 1;
        }
    }
    return std::nullopt;
}

} // namespace

Sessions::Sessions(const std::vector<Game> &games)
{
    for (const Game &game : games)
        m_games.try_emplace(game.tag);
}

std::string Sessions::openMemberSession(const std::string &account)
{
    return setCookie(kMemberCookie, m_members.issue(account), "/");
}

std::string Sessions::openGameSession(const std::string &tag, const std::string &account)
{
    // Tags are plain ASCII codes (checked when the data is loaded), so they
    // are valid in a cookie's name.
    return setCookie(kGameCookiePrefix + tag, m_games.at(tag).issue(account), kGamePath);
}

std::optional<std::string> Sessions::member(const httplib::Request &req) const
{
    const std::optional<std::string> id = cookie(req, kMemberCookie);
    return id ? m_members.find(*id) : std::nullopt;
}

std::optional<std::string> Sessions::gameAccount(const httplib::Request &req, const std::string &tag) const
{
    const auto game = m_games.find(tag);
    if (game == m_games.end())
        return std::nullopt;
    const std::optional<std::string> id = cookie(req, kGameCookiePrefix + tag);
    return id ? game->second.find(*id) : std::nullopt;
}
