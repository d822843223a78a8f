#pragma once
#include "jsontext.h"
#include <condition_variable>
#include <cstdint>
#include <deque>
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
//   GET /bench/send?code=N[&str=S][&json=J]  queues one bridge message
//   GET /bench/command[?wait=MS]          the next message for the home page; 204 when none came
class BenchHooks
{
public:
    // Pages served with the bench script; the home page's also takes messages.
    static std::string decorate(const std::string &path, const std::string &html);
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
    void queueMessage(const httplib::Request &req, httplib::Response &res);
    void nextMessage(const httplib::Request &req, httplib::Response &res);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Load> m_loads;
    std::deque<Json> m_messages;
    bool m_stopping = false;
};
