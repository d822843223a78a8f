#pragma once
#include "tokenregistry.h"
#include <httplib.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct Game;

// Sessions kept in cookies, as a real portal keeps them. A cookie holds only
// a random id; the account it stands for stays in the portal's memory.
//
// kavo_member (Path=/): the member who logged in through the login page.
// kavo_game_TAG (Path=/play/): the account that last entered game TAG. A
// real game runs on a host of its own and keeps one such cookie there; the
// demo's games share the portal's host, so the tag in the cookie's name
// stands for the game's host, and no game ever reads another's cookie.
class Sessions
{
public:
    explicit Sessions(const std::vector<Game> &games);

    // Set-Cookie values that open a session for account.
    std::string openMemberSession(const std::string &account);
    std::string openGameSession(const std::string &tag, const std::string &account);

    // The account of the request's session; nothing without a cookie, or with
    // an id this portal run did not issue.
    std::optional<std::string> member(const httplib::Request &req) const;
    std::optional<std::string> gameAccount(const httplib::Request &req, const std::string &tag) const;

private:
    TokenRegistry m_members;
    std::map<std::string, TokenRegistry> m_games; // by tag; complete from the start, so read without locking
};
