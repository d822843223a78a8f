#include "httpfixture.h"
#include <httplib.h>
#include <chrono>
#include <mutex>
#include <thread>

struct HttpFixture::Private {
    struct Canned {
        std::string body;
        std::string contentType;
        int status = 200;
    };
    httplib::Server server;
    std::thread thread;
    int port = 0;
    mutable std::mutex mutex;
    std::map<std::string, Canned> bodies;
    std::map<std::string, int> delays;
    QVector<Request> requests;
};

HttpFixture::HttpFixture()
    : d(new Private)
{
    d->server.Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
        Request seen;
        seen.method = QString::fromStdString(req.method);
        seen.path = QString::fromStdString(req.path);
        seen.target = QByteArray::fromStdString(req.target);
        for (const auto &param : req.params)
            seen.params.insert(QString::fromStdString(param.first), QString::fromStdString(param.second));

        int delay = 0;
        {
            std::lock_guard<std::mutex> lock(d->mutex);
            d->requests.append(seen);
            auto found = d->delays.find(req.target);
            if (found == d->delays.end())
                found = d->delays.find(req.path);
            delay = found == d->delays.end() ? 0 : found->second;
        }
        if (delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        std::lock_guard<std::mutex> lock(d->mutex);
        auto canned = d->bodies.find(req.target);
        if (canned == d->bodies.end())
            canned = d->bodies.find(req.path);
        if (canned == d->bodies.end()) {
            res.status = 404;
            res.set_content("{\"error\":\"not found\"}", "application/json");
            return;
        }
        res.status = canned->second.status;
        res.set_content(canned->second.body, canned->second.contentType.c_str());
    });
}

HttpFixture::~HttpFixture()
{
    d->server.stop();
    if (d->thread.joinable())
        d->thread.join();
}

bool HttpFixture::start()
{
    // One request per connection: an idle keep-alive connection from the web
    // engine would otherwise hold the destructor for five seconds.
    d->server.set_keep_alive_max_count(1);
    d->port = d->server.bind_to_any_port("127.0.0.1");
    if (d->port <= 0)
        return false;
    d->thread = std::thread([this] { d->server.listen_after_bind(); });
    // stop() only takes effect once the loop runs; do not hand out a server
    // that a quick destructor could leave listening forever.
    while (!d->server.is_running())
        std::this_thread::yield();
    return true;
}

quint16 HttpFixture::port() const { return quint16(d->port); }

QString HttpFixture::hostPort() const { return QStringLiteral("127.0.0.1:%1").arg(d->port); }

QUrl HttpFixture::url(const QString &path) const { return QUrl(QStringLiteral("http://") + hostPort() + path); }

void HttpFixture::setBody(const QString &path, const QByteArray &body, const QByteArray &contentType, int status)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->bodies[path.toStdString()] = {body.toStdString(), contentType.toStdString(), status};
}

void HttpFixture::setDelay(const QString &path, int msec)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->delays[path.toStdString()] = msec;
}

QVector<HttpFixture::Request> HttpFixture::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->requests;
}

void HttpFixture::clearRequests()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->requests.clear();
}
