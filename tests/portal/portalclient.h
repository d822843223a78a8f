#pragma once
#include "support/webtools.h"
#include "web/bridgeobject.h"
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QWebEngineView>
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

// A page with the client's bridge object, keeping what it sends.
struct BridgedPage {
    QWebEngineView view;
    QSignalSpy messages{installBridge(&view), &BridgeObject::messageReceived};
    int next = 0; // what the page sent before is looked at no more

    bool load(const QUrl &url)
    {
        next = messages.size();
        view.load(url);
        return waitForLoad(&view, 30000);
    }
    // (str, json) of the next message with this code; empty when none came.
    QStringList waitFor(int code, int msec = 10000)
    {
        const QVariantList found = nextMessage(messages, code, &next, msec);
        return found.isEmpty() ? QStringList() : QStringList{found.at(1).toString(), found.at(2).toString()};
    }
    QJsonObject waitForObject(int code, int msec = 10000)
    {
        return QJsonDocument::fromJson(waitFor(code, msec).value(1).toUtf8()).object();
    }
};
