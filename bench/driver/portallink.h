#pragma once
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QString>
#include <functional>

// The demo portal's benchmark hooks (kavo-portal --bench): the pages' load
// events, and bridge messages for the home page to send.
class PortalLink
{
public:
    explicit PortalLink(const QString &hostPort);

    QString hostPort() const { return m_hostPort; }
    QString url(const QString &pathAndQuery) const;
    // Every load reported so far, oldest first.
    QJsonArray loads();
    int loadCount() { return loads().size(); }
    // Waits until the loads after `after` hold one of each page (path and
    // query, or a path prefix ending in '*', counted as often as it is
    // listed); the load times (page clock, ms since the epoch) in that order,
    // or an empty list when msec passed first or stop() said so.
    QList<qint64> waitForLoads(int after, const QStringList &pages, int msec, const std::function<bool()> &stop = {});
    // How many pages have reported their first frame after being shown
    // again; and, after `after` of them, when the page (path and query) did
    // (page clock, ms since the epoch), or -1 when it did not within msec.
    int shownCount();
    qint64 waitForShown(int after, const QString &page, int msec);
    // Queues one bridge message for the home page.
    bool send(int code, const QString &str, const QJsonObject &json);
    QJsonArray getArray(const QString &pathAndQuery);
    QJsonObject getObject(const QString &pathAndQuery);

private:
    QByteArray get(const QString &pathAndQuery, int *status = nullptr);

    QString m_hostPort;
    QNetworkAccessManager m_network;
};
