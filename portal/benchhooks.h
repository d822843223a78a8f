#pragma once
#include "jsontext.h"
#include <condition_variable>
#include <cstdint>
#include <httplib.h>
#include <mutex>
#include <string>
#include <vector>

// What a benchmark needs from the portal (--bench), so that it can time and
// drive the box from outside: every page reports its load event, and the
// home page sends the bridge messages the benchmark queues, as if the page
// had asked for them itself.
//
//   GET|POST /bench/loaded?page=P&at=MS   a page's load event (page clock, ms since the epoch)
//   GET /bench/loads.json[?since=SEQ]     {"loads":[{"seq","page","at","received"}]}
//   GET|POST /bench/shown?page=P&at=MS    a page's first animation frame after it became visible again
//   GET /bench/shown.json[?since=SEQ]     {"shown":[{"seq","page","at","received"}]}
//   GET /bench/send?code=N[&str=S][&json=J]  queues one bridge message
//   GET /bench/command?after=SEQ[&wait=MS]   the message after SEQ, {"seq","code","str","json"}; 204 when none came
class BenchHooks
{
public:
    // Pages served with the bench script; the home page's also takes the
    // messages queued from then on.
    std::string decorate(const std::string &path, const std::string &html);
    void addRoutes(httplib::Server &server);
    // Wakes the home page's pending request, so that the server can stop.
    void shutdown();

private:
    struct Load
    {
        int64_t seq;
        std::string page;
        int64_t at;
        int64_t received;
    };

    void recordLoad(const httplib::Request &req, httplib::Response &res);
    void listLoads(const httplib::Request &req, httplib::Response &res);
    void recordShown(const httplib::Request &req, httplib::Response &res);
    void listShown(const httplib::Request &req, httplib::Response &res);
    void record(std::vector<Load> &events, const char *name, const httplib::Request &req, httplib::Response &res);
    void list(const std::vector<Load> &events, const char *name, const httplib::Request &req, httplib::Response &res);
    void queueMessage(const httplib::Request &req, httplib::Response &res);
    void nextMessage(const httplib::Request &req, httplib::Response &res);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Load> m_loads;
    // Kept apart from the loads, which a benchmark counts and matches by page.
    std::vector<Load> m_shown;
    // Kept, not taken: a request held for a page that has gone (its
    // program was stopped) must not swallow a message meant for the next one.
    std::vector<Json> m_messages;
    bool m_stopping = false;
};
