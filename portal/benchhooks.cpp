#include "benchhooks.h"
#include "textutil.h"
#include <chrono>

namespace {

const char kJsonType[] = "application/json; charset=utf-8";
const char kHomePage[] = "/landers.html";
const long long kDefaultWaitMs = 20000;
// Loads are kept for the whole run; a benchmark run makes a few thousand.
const size_t kMaxLoads = 100000;

int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void reply(httplib::Response &res, const Json &value, int status = 200)
{
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(dumpJson(value), kJsonType);
}

} // namespace

std::string BenchHooks::decorate(const std::string &path, const std::string &html)
{
    std::string script = "<script src=\"/static/bench.js\"></script>\n";
    if (path == kHomePage) {
        std::lock_guard<std::mutex> lock(m_mutex);
        script.insert(script.find('>'), " data-messages=\"" + std::to_string(m_messages.size()) + "\"");
    }
    const size_t at = html.rfind("</body>");
    if (at == std::string::npos)
        return html + script;
    std::string out = html;
    out.insert(at, script);
    return out;
}

void BenchHooks::addRoutes(httplib::Server &server)
{
    auto route = [this](void (BenchHooks::*handler)(const httplib::Request &, httplib::Response &)) {
        return [this, handler](const httplib::Request &req, httplib::Response &res) { (this->*handler)(req, res); };
    };
    // Pages report with a beacon (a POST that survives the page closing at
    // once, as the login page does after a login), or a GET where there is none.
    server.Get("/bench/loaded", route(&BenchHooks::recordLoad));
    server.Post("/bench/loaded", route(&BenchHooks::recordLoad));
    server.Get("/bench/loads\\.json", route(&BenchHooks::listLoads));
    server.Get("/bench/shown", route(&BenchHooks::recordShown));
    server.Post("/bench/shown", route(&BenchHooks::recordShown));
    server.Get("/bench/shown\\.json", route(&BenchHooks::listShown));
    server.Get("/bench/send", route(&BenchHooks::queueMessage));
    server.Get("/bench/command", route(&BenchHooks::nextMessage));
}

void BenchHooks::shutdown()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
    m_wake.notify_all();
}

void BenchHooks::recordLoad(const httplib::Request &req, httplib::Response &res)
{
    record(m_loads, "loads", req, res);
}

void BenchHooks::listLoads(const httplib::Request &req, httplib::Response &res)
{
    list(m_loads, "loads", req, res);
}

void BenchHooks::recordShown(const httplib::Request &req, httplib::Response &res)
{
    record(m_shown, "shown frames", req, res);
}

void BenchHooks::listShown(const httplib::Request &req, httplib::Response &res)
{
    list(m_shown, "shown", req, res);
}

void BenchHooks::record(std::vector<Load> &events, const char *name, const httplib::Request &req, httplib::Response &res)
{
    long long at = 0;
    const std::string page = req.get_param_value("page");
    if (page.empty() || !parseInt(req.get_param_value("at"), 0, INT64_MAX, at))
        return reply(res, {{"error", "expected page and at"}}, 400);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (events.size() >= kMaxLoads)
        return reply(res, {{"error", std::string("too many ") + name}}, 503);
    events.push_back({int64_t(events.size()) + 1, page, at, nowMs()});
    res.status = 204;
}

void BenchHooks::list(const std::vector<Load> &events, const char *name, const httplib::Request &req, httplib::Response &res)
{
    long long since = 0;
    if (req.has_param("since") && !parseInt(req.get_param_value("since"), 0, INT64_MAX, since))
        return reply(res, {{"error", "since must be a sequence number"}}, 400);
    Json out = Json::array();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = size_t(since); i < events.size(); ++i) {
        const Load &event = events[i];
        out.push_back({{"seq", event.seq}, {"page", event.page}, {"at", event.at}, {"received", event.received}});
    }
    reply(res, {{name, std::move(out)}});
}

void BenchHooks::queueMessage(const httplib::Request &req, httplib::Response &res)
{
    long long code = 0;
    if (!parseInt(req.get_param_value("code"), INT32_MIN, INT32_MAX, code))
        return reply(res, {{"error", "expected a numeric code"}}, 400);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.push_back({{"seq", m_messages.size() + 1},
                          {"code", code},
                          {"str", req.get_param_value("str")},
                          {"json", req.get_param_value("json")}});
    m_wake.notify_all();
    reply(res, {{"queued", m_messages.size()}});
}

void BenchHooks::nextMessage(const httplib::Request &req, httplib::Response &res)
{
    long long waitMs = kDefaultWaitMs;
    long long after = 0;
    if (req.has_param("wait") && !parseInt(req.get_param_value("wait"), 0, 60000, waitMs))
        return reply(res, {{"error", "wait is 0 to 60000 ms"}}, 400);
    if (!parseInt(req.get_param_value("after"), 0, INT64_MAX, after))
        return reply(res, {{"error", "after must be a sequence number"}}, 400);
    std::unique_lock<std::mutex> lock(m_mutex);
    // Held open until a message comes: the page asks again at once, so a
    // benchmark's message reaches it without polling.
    const auto ready = [&] { return m_stopping || m_messages.size() > size_t(after); };
    m_wake.wait_for(lock, std::chrono::milliseconds(waitMs), ready);
    if (m_messages.size() <= size_t(after)) {
        res.status = 204;
        return;
    }
    const Json message = m_messages[size_t(after)];
    lock.unlock();
    reply(res, message);
}
