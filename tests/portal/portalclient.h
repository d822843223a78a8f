#pragma once
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QtTest>

struct Reply {
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
};

// accept: the Accept header, e.g. what a browser sends when it navigates.
// cookies: a cookie store that requests share, as a browser profile's pages
// do; without one, a request carries no cookie and keeps none.
inline Reply get(const QUrl &url, const QByteArray &accept = {}, QNetworkCookieJar *cookies = nullptr)
{
    QNetworkAccessManager network;
    if (cookies) {
        network.setCookieJar(cookies);
        cookies->setParent(nullptr); // the caller's, outliving this request
    }
    QNetworkRequest request(url);
    if (!accept.isEmpty())
        request.setRawHeader("Accept", accept);
    QNetworkReply *reply = network.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        done.wait(10000);
    Reply result{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(), reply->error(), {}};
    for (const auto &pair : reply->rawHeaderPairs())
        result.headers.insert(pair.first.toLower(), pair.second);
    delete reply;
    return result;
}

const QByteArray kBrowserAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
