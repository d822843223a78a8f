#pragma once
#include <cstdint>
#include <string>

struct Game;
struct GameServer;
struct SiteMessage;

// Pages whose content depends on the request or the demo data. Every value
// that may come from a request is HTML-escaped here.

// The common frame: charset, shared style sheet, a top bar and the body.
std::string pageShell(const std::string &title, const std::string &bodyHtml, const std::string &tailHtml = {});

// A page of the portal's own site, from a fragment under site/pages: its first
// line "<!-- title: ... -->", the content of <main>, and optionally a line
// "<!-- tail -->" followed by page scripts.
std::string renderSitePage(const std::string &fragment);
// An error page (404 and the like) in the site's frame, with a link home.
std::string renderErrorPage(int status);

// The playable game of one server, played as account.
std::string renderGamePage(const Game &game, const GameServer &server, const std::string &account, int64_t now);
// A game's own page: description and its servers with opening times.
std::string renderIntroPage(const Game &game, int64_t now);
std::string renderNewsPage(const SiteMessage &message);
// gameText/serverText are display names or, for unknown codes, the raw request values.
std::string renderTopUpPage(const std::string &gameText, const std::string &serverText);
std::string renderNoticePage(const std::string &title, const std::string &text);
std::string renderGuideText(const Game &game, int64_t now);
