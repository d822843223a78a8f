#include "portalserver.h"
#include "gamekinds.h"
#include "generateddownload.h"
#include "jsontext.h"
#include "pages.h"
#include "requestlog.h"
#include <chrono>
#include <exception>
#include <fstream>
#include <sstream>
#include <sys/socket.h>

namespace {

const char kJsonType[] = "application/json; charset=utf-8";
const char kHtmlType[] = "text/html; charset=utf-8";
const char kConfigPlaceholder[] = "<!--portal-config-->";
const size_t kWorkerThreads = 32;
// Who plays a game entered without a member session, so that the demo's games
// need no login.
const char kGuest[] = "游客";

void sendJson(httplib::Response &res, const Json &value, int status = 200)
{
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(dumpJson(value), kJsonType);
}

void sendError(httplib::Response &res, int status, const std::string &message)
{
    sendJson(res, Json{{"error", message}}, status);
}

void sendHtml(httplib::Response &res, const std::string &html, int status = 200)
{
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(html, kHtmlType);
}

// Browsers and web views list text/html in Accept when they navigate; the
// box's API requests and the pages' fetch() calls do not.
bool wantsHtml(const httplib::Request &req)
{
    return req.get_header_value("Accept").find("text/html") != std::string::npos;
}

// Errors of pages and of unknown paths: an error page for a browser, JSON
// for anything else. The JSON endpoints always use sendError.
void sendPageError(const httplib::Request &req, httplib::Response &res, int status, const std::string &message)
{
    // Everything under /api/ answers errors in JSON, as the box's APIs there
    // do, even for a browser.
    if (req.path.rfind("/api/", 0) == 0 || !wantsHtml(req))
        return sendError(res, status, message);
    sendHtml(res, renderErrorPage(status), status);
}

std::string regexEscape(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (std::string(".^$|()[]{}*+?\\").find(c) != std::string::npos)
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

PortalServer::PortalServer(const PortalOptions &options, const PortalData &data)
    : m_options(options)
    , m_data(data)
    , m_sessions(data.games())
{
    setupRoutes();
}

int PortalServer::bind()
{
    if (m_options.port == 0)
        return m_server.bind_to_any_port("127.0.0.1");
    return m_server.bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
}

bool PortalServer::run()
{
    return m_server.listen_after_bind();
}

bool PortalServer::isRunning() const
{
    return m_server.is_running();
}

void PortalServer::stop()
{
    m_bench.shutdown();
    m_server.stop();
}

int64_t PortalServer::now() const
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void PortalServer::sendPage(const Request &req, Response &res, const std::string &html, int status)
{
    sendHtml(res, m_options.bench ? m_bench.decorate(req.path, html) : html, status);
}

bool PortalServer::readSiteFile(const std::string &file, std::string &out) const
{
    std::ifstream in(m_options.root + "/site/" + file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = buffer.str();
    return true;
}

void PortalServer::addStaticPage(const std::string &path, const std::string &file)
{
    m_server.Get(regexEscape(path), [this, file](const Request &req, Response &res) {
        std::string html;
        if (!readSiteFile(file, html))
            return sendPageError(req, res, 500, "page missing");
        sendPage(req, res, html);
    });
}

void PortalServer::addSitePage(const std::string &path, const std::string &fragmentFile)
{
    m_server.Get(regexEscape(path), [this, fragmentFile](const Request &req, Response &res) {
        std::string fragment;
        if (!readSiteFile(fragmentFile, fragment))
            return sendPageError(req, res, 500, "page missing");
        sendPage(req, res, renderSitePage(fragment));
    });
}

void PortalServer::setupRoutes()
{
    // httplib's default also sets SO_REUSEPORT, which would let a second portal
    // bind the same port and silently take half of the connections.
    m_server.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Each kept-alive connection holds a worker until it idles out, and the box's
    // web views and network managers together keep more of them open than
    // httplib's default pool of about eight; a full pool would stall new requests.
    m_server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
    // Only GET requests are served; nothing needs a body.
    m_server.set_payload_max_length(64 * 1024);

    for (const char *ext : {"js", "mjs"})
        m_server.set_file_extension_and_mimetype_mapping(ext, "text/javascript; charset=utf-8");
    m_server.set_file_extension_and_mimetype_mapping("css", "text/css; charset=utf-8");
    m_server.set_file_extension_and_mimetype_mapping("html", kHtmlType);
    m_server.set_file_extension_and_mimetype_mapping("txt", "text/plain; charset=utf-8");
    m_server.set_mount_point("/static/", m_options.root + "/site/static");

    addSitePage("/", "pages/index.html");
    addStaticPage("/landers.html", "landers.html");
    addStaticPage("/search.html", "search.html");
    addStaticPage("/Kavobox2/znx.html", "Kavobox2/znx.html");
    addStaticPage("/task/qiandao.html", "task/qiandao.html");
    addStaticPage("/api/third_api/qq_login/qq_login.php", "social/authorize.html");
    addStaticPage("/api/third_api/weixin_login/wx_login.php", "social/authorize.html");
    addSitePage("/reg_new.html", "pages/reg_new.html");
    addSitePage("/resetpassword.html", "pages/resetpassword.html");
    addSitePage("/userprotect.php", "pages/userprotect.html");
    for (const char *path : {"/cjwt/", "/cjwt"})
        addSitePage(path, "pages/cjwt.html");
    for (const char *path : {"/client-service/", "/client-service"})
        addSitePage(path, "pages/client-service.html");

    auto route = [this](void (PortalServer::*handler)(const Request &, Response &)) {
        return [this, handler](const Request &req, Response &res) { (this->*handler)(req, res); };
    };
    for (const char *path : {"/Kavobox2", "/Kavobox2/"})
        m_server.Get(path, route(&PortalServer::serveLoginPage));
    m_server.Get("/api/games\\.json", route(&PortalServer::serveGameList));
    m_server.Get("/api/messages\\.json", route(&PortalServer::serveMessages));
    m_server.Get("/api/allserver_series\\.php", route(&PortalServer::serveServerSeries));
    m_server.Get("/login\\.php", route(&PortalServer::serveLoginApi));
    m_server.Get("/Kavobox2/session", route(&PortalServer::serveMemberLogin));
    m_server.Get("/entergame\\.php", route(&PortalServer::serveEnterGame));
    m_server.Get("/play/game\\.php", route(&PortalServer::serveGamePage));
    m_server.Get("/index\\.php", route(&PortalServer::serveTopUp));
    m_server.Get("/update/?", route(&PortalServer::serveUpdate));
    m_server.Get("/news/([0-9]{1,6})\\.html", route(&PortalServer::serveNews));
    m_server.Get("/game/([A-Za-z0-9_]{1,32})\\.html", route(&PortalServer::serveIntro));
    m_server.Get("/download/([A-Za-z0-9_]{1,32})-guide\\.txt", route(&PortalServer::serveGuide));
    m_server.Get("/download/file", route(&PortalServer::serveDownload));
    if (m_options.bench)
        m_bench.addRoutes(m_server);
    m_server.Get("/favicon\\.ico", [](const Request &, Response &res) { res.status = 204; });

    // Runs for every status >= 400; handlers that already wrote a body keep it.
    m_server.set_error_handler(httplib::Server::HandlerWithResponse([](const Request &req, Response &res) {
        if (!res.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        const std::string message = res.status == 404 ? "not found"
            : res.status < 500                         ? "bad request"
                                                       : "internal error";
        sendPageError(req, res, res.status, message);
        return httplib::Server::HandlerResponse::Handled;
    }));
    m_server.set_exception_handler([](const Request &req, Response &res, std::exception_ptr exception) {
        std::string what = "unknown exception";
        try {
            if (exception)
                std::rethrow_exception(exception);
        } catch (const std::exception &e) {
            what = e.what();
        } catch (...) {
        }
        writeLogLine("handler failed: " + what);
        sendPageError(req, res, 500, "internal error");
    });
    m_server.set_logger([](const Request &req, const Response &res) {
        writeLogLine(requestLogLine(req.method, req.target, res.status));
    });
}

void PortalServer::serveLoginPage(const Request &req, Response &res)
{
    std::string html;
    if (!readSiteFile("Kavobox2/login.html", html))
        return sendPageError(req, res, 500, "page missing");
    const Json config = {{"demoLogin", m_options.demoLogin.empty() ? Json() : Json(m_options.demoLogin)},
                         {"demoLoginDelay", m_options.demoLoginDelayMs}};
    const std::string script =
        "<script type=\"application/json\" id=\"portal-config\">" + dumpJsonForScript(config) + "</script>";
    const size_t at = html.find(kConfigPlaceholder);
    if (at != std::string::npos)
        html.replace(at, sizeof kConfigPlaceholder - 1, script);
    sendPage(req, res, html);
}

void PortalServer::serveGameList(const Request &, Response &res)
{
    Json games = Json::array();
    for (const Game &game : m_data.games()) {
        const GameKind *kind = findGameKind(game.kind);
        Json servers = Json::array();
        for (const GameServer &server : game.servers)
            servers.push_back({{"server", server.code}, {"name", server.name}, {"open", server.openTime}});
        games.push_back({{"tag", game.tag},
                         {"name", game.name},
                         {"kind", game.kind},
                         {"kindName", kind ? kind->title : ""},
                         {"intro", game.intro},
                         {"servers", std::move(servers)}});
    }
    // Pages count down against the portal's clock, not the viewer's.
    sendJson(res, {{"now", now()}, {"games", std::move(games)}});
}

void PortalServer::serveServerSeries(const Request &req, Response &res)
{
    Json list = Json::array();
    if (req.get_param_value("act") == "getgame") {
        for (const Game &game : m_data.games())
            list.push_back({{"tag", game.tag}, {"gamename", game.name}});
        return sendJson(res, list);
    }
    if (!req.has_param("gamename"))
        return sendError(res, 400, "expected act=getgame or gamename");
    if (const Game *game = m_data.findGame(req.get_param_value("gamename"))) {
        // The established reply puts the server's display name under "gamename".
        for (const GameServer &server : game->servers)
            list.push_back({{"server", server.code}, {"gamename", server.name}});
    }
    sendJson(res, list);
}

void PortalServer::serveLoginApi(const Request &req, Response &res)
{
    if (req.get_param_value("action") != "get_user")
        return sendError(res, 400, "expected action=get_user");
    if (!req.has_param("username") || !req.has_param("password"))
        return sendError(res, 400, "expected username and password");
    const std::string username = req.get_param_value("username");
    switch (m_data.checkLogin(username, req.get_param_value("password"))) {
    case PortalData::LoginResult::Accepted:
        return sendJson(res, {{"msg", 1}, {"code", "0"}, {"ckcode", m_checkCodes.issue(username)}});
    case PortalData::LoginResult::Locked:
        return sendJson(res, {{"msg", 0}, {"code", "-2"}});
    case PortalData::LoginResult::Rejected:
        break;
    }
    sendJson(res, {{"msg", 0}, {"code", "-1"}});
}

void PortalServer::serveMemberLogin(const Request &req, Response &res)
{
    const std::string via = req.get_param_value("via");
    std::string account;
    if (via == "qq") {
        account = "QQ玩家";
    } else if (via == "wx") {
        account = "微信玩家";
    } else if (via == "demo") {
        if (m_options.demoLogin.empty())
            return sendError(res, 404, "no demo login");
        account = m_options.demoLogin;
    } else if (!via.empty()) {
        return sendError(res, 400, "expected via=qq, wx or demo");
    } else {
        if (!req.has_param("username") || !req.has_param("password"))
            return sendError(res, 400, "expected username and password");
        account = req.get_param_value("username");
        switch (m_data.checkLogin(account, req.get_param_value("password"))) {
        case PortalData::LoginResult::Accepted:
            break;
        case PortalData::LoginResult::Locked:
            return sendJson(res, {{"msg", 0}, {"code", "-2"}});
        case PortalData::LoginResult::Rejected:
            return sendJson(res, {{"msg", 0}, {"code", "-1"}});
        }
    }
    res.set_header("Set-Cookie", m_sessions.openMemberSession(account));
    sendJson(res, {{"msg", 1}, {"code", "0"}, {"name", account}});
}

bool PortalServer::findGameServer(const Request &req, Response &res, const Game *&game, const GameServer *&server) const
{
    const std::string tag = req.get_param_value("game");
    const std::string serverCode = req.get_param_value("server");
    if (tag.empty() || serverCode.empty()) {
        sendPageError(req, res, 400, "expected game and server");
        return false;
    }
    game = m_data.findGame(tag);
    server = game ? game->findServer(serverCode) : nullptr;
    if (!server) {
        sendPageError(req, res, 404, game ? "unknown server" : "unknown game");
        return false;
    }
    return true;
}

void PortalServer::serveEnterGame(const Request &req, Response &res)
{
    const Game *game = nullptr;
    const GameServer *server = nullptr;
    if (!findGameServer(req, res, game, server))
        return;

    std::string account;
    if (req.has_param("boxSmall") || req.has_param("ckcode")) {
        account = req.get_param_value("boxSmall");
        if (account.empty() || m_checkCodes.find(req.get_param_value("ckcode")) != account) {
            return sendPage(req, res,
                            renderNoticePage("小号校验失败", "该小号的校验码无效或已过期，请在小号列表中重新添加该账号后再试。"),
                            403);
        }
    } else {
        account = m_sessions.member(req).value_or(kGuest);
    }
    // The game's cookie now belongs to this account, whichever tab entered
    // before: what every page of the game sharing this cookie store shows
    // from now on.
    res.set_header("Set-Cookie", m_sessions.openGameSession(game->tag, account));
    sendPage(req, res, renderGamePage(*game, *server, account, now()));
}

void PortalServer::serveGamePage(const Request &req, Response &res)
{
    const Game *game = nullptr;
    const GameServer *server = nullptr;
    if (!findGameServer(req, res, game, server))
        return;
    const std::optional<std::string> account = m_sessions.gameAccount(req, game->tag);
    if (!account) {
        return sendPage(req, res, renderNoticePage("登录已失效", "请回到游戏盒子，从游戏列表或小号列表重新进入游戏。"),
                        403);
    }
    sendPage(req, res, renderGamePage(*game, *server, *account, now()));
}

void PortalServer::serveUpdate(const Request &, Response &res)
{
    sendJson(res, {{"version_name", "v" + std::to_string(m_options.versionCode) + ".0.0"},
                   {"version_code", m_options.versionCode},
                   {"force", m_options.force}});
}

void PortalServer::serveMessages(const Request &, Response &res)
{
    Json list = Json::array();
    for (const SiteMessage &message : m_data.messages()) {
        list.push_back({{"id", message.id},
                        {"title", message.title},
                        {"date", message.date},
                        {"path", "/news/" + std::to_string(message.id) + ".html"}});
    }
    sendJson(res, list);
}

void PortalServer::serveNews(const Request &req, Response &res)
{
    const SiteMessage *message = m_data.findMessage(std::stoi(req.matches[1].str()));
    if (!message)
        return sendPageError(req, res, 404, "not found");
    sendPage(req, res, renderNewsPage(*message));
}

void PortalServer::serveIntro(const Request &req, Response &res)
{
    const Game *game = m_data.findGame(req.matches[1].str());
    if (!game)
        return sendPageError(req, res, 404, "unknown game");
    sendPage(req, res, renderIntroPage(*game, now()));
}

void PortalServer::serveGuide(const Request &req, Response &res)
{
    const Game *game = m_data.findGame(req.matches[1].str());
    if (!game)
        return sendPageError(req, res, 404, "unknown game");
    res.set_header("Content-Disposition", "attachment; filename=\"" + game->tag + "-guide.txt\"");
    res.set_content(renderGuideText(*game, now()), "text/plain; charset=utf-8");
}

void PortalServer::serveDownload(const Request &req, Response &res)
{
    GeneratedDownload download;
    std::string error;
    if (!GeneratedDownload::fromQuery(req, download, error))
        return sendPageError(req, res, 400, error);
    download.serve(res);
}

void PortalServer::serveTopUp(const Request &req, Response &res)
{
    std::string gameText = req.get_param_value("gname");
    std::string serverText = req.get_param_value("gserver");
    if (const Game *game = m_data.findGame(gameText)) {
        gameText = game->name;
        if (const GameServer *server = game->findServer(serverText))
            serverText = server->name;
    }
    sendPage(req, res, renderTopUpPage(gameText, serverText));
}
