#pragma once
#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;

// What came back for one request: the body when it succeeded, else why not.
struct PortalReply {
    QUrl url;
    bool ok = false;
    int status = 0; // HTTP status, 0 when none arrived
    QByteArray body;
    QString error;
};

// Every GET the client makes to the portal, on the run's one network
// manager. A request that has not finished after kTimeoutMs fails, and so
// does one whose body grows past kMaxBodyBytes: bodies are held whole in
// memory, and no reply of the portal comes near that size. The
// status, reason and failure lines are written here, once for every kind of
// reply; what a body means is for the reply parsers.
class PortalApi : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimeoutMs = 15000;
    static constexpr qint64 kMaxBodyBytes = 1024 * 1024;

    explicit PortalApi(QObject *parent = nullptr);

    using Handler = std::function<void(const PortalReply &reply)>;
    // Starts a GET of url. handler runs once with the outcome, unless
    // context is gone by then (a closed dialog hears nothing late).
    void get(const QUrl &url, QObject *context, Handler handler);

private:
    QNetworkAccessManager *m_network;
};
