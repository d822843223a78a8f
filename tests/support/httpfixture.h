#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QUrl>
#include <QVector>
#include <memory>

// A small HTTP server on 127.0.0.1 (port 0) in its own thread: serves canned
// bodies and records every request exactly as it arrived on the wire. A body
// or a delay is set for a path, or for one exact target (path and encoded
// query), which wins over its path.
class HttpFixture
{
public:
    struct Request {
        QString method;
        QString path;
        QByteArray target; // raw request target: path and still-encoded query
        QMap<QString, QString> params; // decoded query values
    };

    HttpFixture();
    ~HttpFixture();
    bool start();
    quint16 port() const;
    QString hostPort() const;
    QUrl url(const QString &path) const;
    void setBody(const QString &path, const QByteArray &body,
                 const QByteArray &contentType = "text/html; charset=utf-8", int status = 200);
    // Holds the answer to path back for msec (its request counts at once).
    // Stopping the fixture cuts a wait short.
    void setDelay(const QString &path, int msec);
    // Announces the whole body of path but closes the connection after its
    // first bytes: a transfer that dies mid-body. A negative count clears it.
    void setCutOff(const QString &path, int bytes);
    // Sends path's body one byte every msec: never silent, never done.
    void setTrickle(const QString &path, int msec);
    // Sends a header of this name and value with path's answer.
    void setHeader(const QString &path, const QByteArray &name, const QByteArray &value);
    // Answers HEAD requests for path with this status and nothing else, as
    // a server that does not do HEAD (405) would; a status of 0 clears it.
    void setHeadStatus(const QString &path, int status);
    QVector<Request> requests() const;
    void clearRequests();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// "127.0.0.1:<port>" of a loopback port nobody listens on: a portal that is down.
QString unusedHostPort();
