#include "httpfixture.h"
#include <httplib.h>
#include <QTcpServer>
#include <chrono>
#include <condition_variable>
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
    std::map<std::string, int> cutOffs;
    std::map<std::string, int> trickles;
    std::map<std::string, httplib::Headers> headers;
    std::map<std::string, int> headStatuses;
    std::condition_variable stopping;
    bool stopped = false;
    QVector<Request> requests;

    template <typename T>
    static const T *find(const std::map<std::string, T> &map, const httplib::Request &req)
    {
        auto found = map.find(req.target);
        if (found == map.end())
            found = map.find(req.path);
        return found == map.end() ? nullptr : &found->second;
    }
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

        std::unique_lock<std::mutex> lock(d->mutex);
        d->requests.append(seen);
        if (const int *delay = Private::find(d->delays, req))
            d->stopping.wait_for(lock, std::chrono::milliseconds(*delay), [this] { return d->stopped; });
        if (const int *status = Private::find(d->headStatuses, req); status && req.method == "HEAD") {
            res.status = *status;
            return;
        }
        const Private::Canned *canned = Private::find(d->bodies, req);
        if (!canned) {
            res.status = 404;
            res.set_content("{\"error\":\"not found\"}", "application/json");
            return;
        }
        res.status = canned->status;
        if (const httplib::Headers *headers = Private::find(d->headers, req))
            res.headers.insert(headers->begin(), headers->end());
        if (const int *trickle = Private::find(d->trickles, req)) {
            const std::string whole = canned->body;
            const int msec = *trickle;
            res.set_content_provider(whole.size(), canned->contentType,
                                     [this, whole, msec](size_t offset, size_t, httplib::DataSink &sink) {
                                         sink.write(whole.data() + offset, 1);
                                         std::unique_lock<std::mutex> wait(d->mutex);
                                         return !d->stopping.wait_for(wait, std::chrono::milliseconds(msec),
                                                                      [this] { return d->stopped; });
                                     });
            return;
        }
        const int *cutOff = Private::find(d->cutOffs, req);
        if (!cutOff) {
            res.set_content(canned->body, canned->contentType);
            return;
        }
        // A provider that gives up makes the server drop the connection.
        const std::string part = canned->body.substr(0, size_t(*cutOff));
        res.set_content_provider(canned->body.size(), canned->contentType,
                                 [part](size_t offset, size_t, httplib::DataSink &sink) {
                                     if (offset < part.size())
                                         sink.write(part.data() + offset, part.size() - offset);
                                     return offset < part.size();
                                 });
    });
}

HttpFixture::~HttpFixture()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopped = true;
    }
    d->stopping.notify_all();
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

void HttpFixture::setCutOff(const QString &path, int bytes)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (bytes < 0)
        d->cutOffs.erase(path.toStdString());
    else
        d->cutOffs[path.toStdString()] = bytes;
}

void HttpFixture::setTrickle(const QString &path, int msec)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->trickles[path.toStdString()] = msec;
}

void HttpFixture::setHeader(const QString &path, const QByteArray &name, const QByteArray &value)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->headers[path.toStdString()].emplace(name.toStdString(), value.toStdString());
}

void HttpFixture::setHeadStatus(const QString &path, int status)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (status == 0)
        d->headStatuses.erase(path.toStdString());
    else
        d->headStatuses[path.toStdString()] = status;
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

QString unusedHostPort()
{
    QTcpServer reserve; // closed again on return
    reserve.listen(QHostAddress::LocalHost);
    return QStringLiteral("127.0.0.1:%1").arg(reserve.serverPort());
}
