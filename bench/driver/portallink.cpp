#include "portallink.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTimer>
#include <QVector>

PortalLink::PortalLink(const QString &hostPort)
    : m_hostPort(hostPort)
{
}

QString PortalLink::url(const QString &pathAndQuery) const
{
    return QStringLiteral("http://") + m_hostPort + pathAndQuery;
}

QByteArray PortalLink::get(const QString &pathAndQuery, int *status)
{
    QNetworkRequest request{QUrl(url(pathAndQuery))};
    QNetworkReply *reply = m_network.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const QByteArray body = reply->isFinished() ? reply->readAll() : QByteArray();
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    return body;
}

QJsonArray PortalLink::getArray(const QString &pathAndQuery)
{
    return QJsonDocument::fromJson(get(pathAndQuery)).array();
}

QJsonObject PortalLink::getObject(const QString &pathAndQuery)
{
    return QJsonDocument::fromJson(get(pathAndQuery)).object();
}

QJsonArray PortalLink::loads()
{
    return QJsonDocument::fromJson(get(QStringLiteral("/bench/loads.json"))).object().value(QStringLiteral("loads")).toArray();
}

QList<qint64> PortalLink::waitForLoads(int after, const QStringList &pages, int msec, const std::function<bool()> &stop)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < msec) {
        const QJsonArray all = loads();
        QList<qint64> times;
        QVector<bool> taken(all.size(), false);
        for (const QString &page : pages) {
            const bool prefix = page.endsWith(QLatin1Char('*'));
            const QString stem = prefix ? page.chopped(1) : page;
            for (int i = after; i < all.size(); ++i) {
                const QJsonObject load = all.at(i).toObject();
                const QString loaded = load.value(QStringLiteral("page")).toString();
                if (!taken.at(i) && (prefix ? loaded.startsWith(stem) : loaded == stem)) {
                    taken[i] = true;
                    times.append(qint64(load.value(QStringLiteral("at")).toDouble()));
                    break;
                }
            }
        }
        if (times.size() == pages.size())
            return times;
        if (stop && stop())
            return {};
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return {};
}

int PortalLink::shownCount()
{
    return QJsonDocument::fromJson(get(QStringLiteral("/bench/shown.json"))).object().value(QStringLiteral("shown")).toArray().size();
}

qint64 PortalLink::waitForShown(int after, const QString &page, int msec)
{
    QElapsedTimer waited;
    waited.start();
    do {
        const QJsonArray shown = QJsonDocument::fromJson(get(QStringLiteral("/bench/shown.json?since=%1").arg(after)))
                                     .object()
                                     .value(QStringLiteral("shown"))
                                     .toArray();
        for (const QJsonValue &frame : shown) {
            if (frame.toObject().value(QStringLiteral("page")).toString() == page)
                return qint64(frame.toObject().value(QStringLiteral("at")).toDouble());
        }
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    } while (waited.elapsed() < msec);
    return -1;
}

bool PortalLink::send(int code, const QString &str, const QJsonObject &json)
{
    const QByteArray query = "code=" + QByteArray::number(code) + "&str=" + QUrl::toPercentEncoding(str)
        + "&json=" + QUrl::toPercentEncoding(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)));
    int status = 0;
    get(QStringLiteral("/bench/send?") + QString::fromLatin1(query), &status);
    return status == 200;
}
