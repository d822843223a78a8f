#include "pages.h"
#include "gamekinds.h"
#include "jsontext.h"
#include "portaldata.h"
#include "textutil.h"

namespace {

std::string serverState(const GameServer &server, int64_t now)
{
    const std::string when = formatLocalTime(server.openTime, "%m-%d %H:%M");
    return server.openTime <= now ? when + " 已开服" : when + " 开服";
}

std::string enterGamePath(const Game &game, const GameServer &server)
{
    // Tags and server codes are checked to be plain ASCII codes when the data is loaded.
    return "/entergame.php?game=" + game.tag + "&server=" + server.code + "&client=1&tobox=1";
}

// The game's own page, where the player stays after entering: it knows the
// account only from the game's cookie. Game and server stay in the query, where
// the box looks for them (the top-up of a detached game).
std::string gamePagePath(const Game &game, const GameServer &server)
{
    return "/play/game.php?game=" + game.tag + "&server=" + server.code;
}

// A generated file, throttled so that the box's download progress shows for
// a couple of seconds.
std::string resourcePackPath(const Game &game)
{
    return "/download/file?name=" + percentEncode(game.name + "-资源包.dat") + "&amp;size=2097152&amp;rate=1048576";
}

// The frame of the portal's own site: pageShell's, plus the site's navigation
// and its shared scripts.
std::string siteFrame(const std::string &title, const std::string &bodyHtml, const std::string &tailHtml)
{
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
        + htmlEscape(title)
        + "</title>\n<link rel=\"stylesheet\" href=\"/static/portal.css\">\n</head>\n<body>\n"
          "<header class=\"topbar\">\n  <a class=\"brand\" href=\"/\">Kavo<span>游戏</span></a>\n  <nav>\n"
          "    <a href=\"/#portal\">官方网站</a>\n    <a href=\"/#pay\">充值</a>\n    <a href=\"/#gift\">礼包</a>\n"
          "    <a href=\"/#download\">下载</a>\n    <a href=\"/cjwt/\">常见问题</a>\n"
          "    <a href=\"/client-service/\">客服</a>\n  </nav>\n</header>\n<main class=\"page\">\n"
        + bodyHtml + "</main>\n<script src=\"/static/bridge.js\"></script>\n<script src=\"/static/demo-only.js\"></script>\n"
        + tailHtml + "</body>\n</html>\n";
}

} // namespace

std::string pageShell(const std::string &title, const std::string &bodyHtml, const std::string &tailHtml)
{
    return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
        + htmlEscape(title)
        + "</title>\n<link rel=\"stylesheet\" href=\"/static/portal.css\">\n</head>\n<body>\n"
          "<header class=\"topbar\"><a class=\"brand\" href=\"/\">Kavo<span>游戏</span></a></header>\n"
          "<main class=\"page\">\n"
        + bodyHtml + "</main>\n" + tailHtml + "</body>\n</html>\n";
}

std::string renderSitePage(const std::string &fragment)
{
    static const std::string kTitleOpen = "<!-- title: ";
    static const std::string kTitleClose = " -->\n";
    static const std::string kTail = "<!-- tail -->\n";
    std::string title = "Kavo游戏";
    std::string body = fragment;
    if (body.rfind(kTitleOpen, 0) == 0) {
        const size_t end = body.find(kTitleClose);
        if (end != std::string::npos) {
            title = body.substr(kTitleOpen.size(), end - kTitleOpen.size());
            body.erase(0, end + kTitleClose.size());
        }
    }
    std::string tail;
    const size_t tailAt = body.find(kTail);
    if (tailAt != std::string::npos) {
        tail = body.substr(tailAt + kTail.size());
        body.erase(tailAt);
    }
    return siteFrame(title, body, tail);
}

std::string renderErrorPage(int status)
{
    std::string title = "无法打开页面";
    std::string text = "请求的地址有误，请返回首页重新进入。";
    if (status == 404) {
        title = "页面不存在";
        text = "您访问的页面不存在或已被移除，请检查地址或返回首页。";
    } else if (status >= 500) {
        title = "服务器繁忙";
        text = "服务器暂时无法完成请求，请稍后刷新重试。";
    }
    return siteFrame(title,
                     "<section class=\"card narrow error-page\">\n<p class=\"error-code\">" + std::to_string(status)
                         + "</p>\n<h1>" + title + "</h1>\n<p>" + text
                         + "</p>\n<p><a class=\"btn btn-primary\" href=\"/\">返回首页</a></p>\n</section>\n",
                     {});
}

std::string renderGamePage(const Game &game, const GameServer &server, const std::string &account, int64_t now)
{
    const GameKind *kind = findGameKind(game.kind);
    const std::string kindTitle = kind ? kind->title : "";
    std::string body = "<section class=\"game-layout\">\n<div class=\"card game-stage\">\n<div class=\"game-head\"><h1>"
        + htmlEscape(game.name) + " <span class=\"muted\">" + htmlEscape(server.name)
        + "</span></h1><span class=\"badge\" id=\"game-role\">当前角色：" + htmlEscape(account) + "</span></div>\n";
    if (server.openTime > now) {
        body += "<p class=\"note\">本服将于 " + htmlEscape(formatLocalTime(server.openTime, "%m-%d %H:%M"))
            + " 正式开服，演示环境可提前体验。</p>\n";
    }
    body += "<div class=\"game-hud\"><span>得分 <b id=\"game-score\">0</b></span>"
            "<span>最高 <b id=\"game-best\">0</b></span>"
            "<button id=\"game-restart\" class=\"btn btn-primary\" type=\"button\">重新开始</button></div>\n"
            "<p id=\"game-status\" class=\"game-status muted\"></p>\n"
            "<canvas id=\"game-canvas\" width=\"480\" height=\"360\" tabindex=\"0\"></canvas>\n"
            "<p class=\"muted\">"
        + htmlEscape(kind ? kind->help : "") + "</p>\n</div>\n<aside class=\"card game-side\">\n<h2>"
        + htmlEscape(kindTitle) + "</h2>\n<p>" + htmlEscape(game.intro) + "</p>\n"
        + "<div class=\"amounts\"><a class=\"btn\" href=\"/download/" + game.tag + "-guide.txt\">下载游戏攻略</a>"
        + "<a class=\"btn\" href=\"" + resourcePackPath(game) + "\">下载资源包（2 MB）</a></div>\n"
        + "<p><a href=\"/game/" + game.tag + ".html\">游戏主页</a> · <a href=\"/index.php?payway=10&amp;gname="
        + game.tag + "&amp;gserver=" + server.code + "\">充值</a></p>\n</aside>\n</section>\n";

    const Json info = {
        {"tag", game.tag}, {"server", server.code}, {"kind", game.kind}, {"address", gamePagePath(game, server)}};
    const std::string tail = "<script type=\"application/json\" id=\"game-info\">" + dumpJsonForScript(info)
        + "</script>\n<script src=\"/static/games/common.js\"></script>\n<script src=\"/static/games/" + game.kind
        + ".js\"></script>\n";
    return pageShell(game.name + " " + server.name, body, tail);
}

std::string renderIntroPage(const Game &game, int64_t now)
{
    const GameKind *kind = findGameKind(game.kind);
    std::string body = "<section class=\"card\">\n<h1>" + htmlEscape(game.name) + "</h1>\n<p class=\"muted\">"
        + htmlEscape(kind ? kind->title : "") + "</p>\n<p>" + htmlEscape(game.intro)
        + "</p>\n<table class=\"table\">\n<tr><th>区服</th><th>开服时间</th><th></th></tr>\n";
    for (const GameServer &server : game.servers) {
        body += "<tr><td>" + htmlEscape(server.name) + "</td><td>" + htmlEscape(serverState(server, now))
            + "</td><td><a class=\"btn btn-small btn-primary\" href=\"" + enterGamePath(game, server)
            + "\">进入游戏</a></td></tr>\n";
    }
    body += "</table>\n<p><a href=\"/download/" + game.tag + "-guide.txt\">下载游戏攻略</a></p>\n</section>\n";
    return pageShell(game.name + " - 游戏主页", body);
}

std::string renderNewsPage(const SiteMessage &message)
{
    std::string body = "<article class=\"card article\">\n<h1>" + htmlEscape(message.title)
        + "</h1>\n<p class=\"muted\">" + htmlEscape(message.date) + "</p>\n";
    for (const std::string &paragraph : message.paragraphs)
        body += "<p>" + htmlEscape(paragraph) + "</p>\n";
    body += "</article>\n";
    return pageShell(message.title, body);
}

std::string renderTopUpPage(const std::string &gameText, const std::string &serverText)
{
    const std::string game = gameText.empty() ? "未指定" : gameText;
    const std::string server = serverText.empty() ? "未指定" : serverText;
    std::string body = "<section class=\"card narrow\">\n<h1>游戏充值</h1>\n<dl class=\"facts\"><dt>游戏</dt><dd>"
        + htmlEscape(game) + "</dd><dt>区服</dt><dd>" + htmlEscape(server)
        + "</dd></dl>\n<div class=\"amounts\">";
    for (const char *amount : {"10", "50", "100", "500"})
        body += "<button class=\"btn\" type=\"button\" data-demo-only>" + std::string(amount) + " 元</button>";
    body += "</div>\n<p><button class=\"btn btn-primary\" type=\"button\" data-demo-only>立即充值</button></p>\n"
            "<p class=\"muted\">演示环境不进行真实支付。</p>\n</section>\n";
    return pageShell("充值中心", body,
                     "<script src=\"/static/bridge.js\"></script>\n<script src=\"/static/demo-only.js\"></script>\n");
}

std::string renderNoticePage(const std::string &title, const std::string &text)
{
    return pageShell(title, "<section class=\"card narrow\">\n<h1>" + htmlEscape(title) + "</h1>\n<p>"
                                + htmlEscape(text) + "</p>\n</section>\n");
}

std::string renderGuideText(const Game &game, int64_t now)
{
    const GameKind *kind = findGameKind(game.kind);
    std::string text = game.name + " 游戏攻略\r\n\r\n" + game.intro + "\r\n\r\n玩法：" + (kind ? kind->title : "")
        + "\r\n操作：" + (kind ? kind->help : "") + "\r\n\r\n区服一览：\r\n";
    for (const GameServer &server : game.servers)
        text += "  " + server.name + "（" + server.code + "）  " + serverState(server, now) + "\r\n";
    text += "\r\n祝您游戏愉快！\r\n";
    return text;
}
