#pragma once
#include "benchhooks.h"
#include "portaldata.h"
#include "sessions.h"
#include "tokenregistry.h"
#include <httplib.h>
#include <string>

struct PortalOptions
{
    int port = 18765;
    std::string root;      // holds site/ and data/
    std::string demoLogin; // empty: the login page waits for a person
    int demoLoginDelayMs = 2000;
    bool bench = false; // BenchHooks
    int versionCode = 2;
    int force = 0;
};

// The demo portal: every role's pages and APIs on one loopback port.
class PortalServer
{
public:
    PortalServer(const PortalOptions &options, const PortalData &data);

    // Binds 127.0.0.1 (port 0 picks a free one); returns the port or -1.
    int bind();
    // Serves until stop(); false if the server failed.
    bool run();
    bool isRunning() const;
    void stop();

private:
    using Request = httplib::Request;
    using Response = httplib::Response;

    void setupRoutes();
    void addStaticPage(const std::string &path, const std::string &file);
    // A page of the portal's own site, framed by renderSitePage.
    void addSitePage(const std::string &path, const std::string &fragmentFile);

    void serveLoginPage(const Request &req, Response &res);
    void serveGameList(const Request &req, Response &res);
    void serveServerSeries(const Request &req, Response &res);
    void serveLoginApi(const Request &req, Response &res);
    void serveMemberLogin(const Request &req, Response &res);
    void serveEnterGame(const Request &req, Response &res);
    void serveGamePage(const Request &req, Response &res);
    void serveUpdate(const Request &req, Response &res);
    void serveMessages(const Request &req, Response &res);
    void serveNews(const Request &req, Response &res);
    void serveIntro(const Request &req, Response &res);
    void serveGuide(const Request &req, Response &res);
    void serveDownload(const Request &req, Response &res);
    void serveTopUp(const Request &req, Response &res);

    // Every page goes out here; a benchmark's portal adds its script.
    void sendPage(const Request &req, Response &res, const std::string &html, int status = 200);
    bool readSiteFile(const std::string &file, std::string &out) const;
    // The query's game and server; false after sending the error.
    bool findGameServer(const Request &req, Response &res, const Game *&game, const GameServer *&server) const;
    int64_t now() const;

    PortalOptions m_options;
    const PortalData &m_data;
    TokenRegistry m_checkCodes;
    Sessions m_sessions;
    BenchHooks m_bench;
    httplib::Server m_server;
};
