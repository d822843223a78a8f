#pragma once
#include "core/endpoints.h"
#include "support/portalprocess.h"
#include <QtTest>
#include "support/webtools.h"
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineView>

struct Reply {
    int status = 0;
    QByteArray body;
    QByteArray contentType;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QList<QNetworkReply::RawHeaderPair> headers;
    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
    QByteArray header(const QByteArray &name) const
    {
        for (const auto &pair : headers) {
            if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
                return pair.second;
        }
        return {};
    }
};

// accept: the Accept header, e.g. what a browser sends when it navigates.
inline Reply get(const QUrl &url, const QByteArray &accept = {})
{
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    if (!accept.isEmpty())
        request.setRawHeader("Accept", accept);
    QNetworkReply *reply = network.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        done.wait(10000);
    Reply result{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
                 reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->error(), reply->rawHeaderPairs()};
    delete reply;
    return result;
}

// The generated downloads' bytes: byte n is n mod 251.
inline bool hasDownloadPattern(const QByteArray &body)
{
    for (int i = 0; i < body.size(); ++i) {
        if (quint8(body.at(i)) != i % 251)
            return false;
    }
    return true;
}

const QByteArray kBrowserAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

// The client's side of the channel as the pages see it: an object named
// "interactObj" with JSSendMessage and SigSendMessageToJS. It records what the
// pages send, so the demo pages can be checked in a real web engine.
class PageProbe : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void JSSendMessage(int code, const QString &str, const QString &json)
    {
        emit received(code, str, json);
    }
signals:
    void received(int code, QString str, QString json);
    void SigSendMessageToJS(QString strParameter);
};

// One page in an off-the-record profile (nothing stored between tests),
// with the probe on its channel.
class PageHarness
{
public:
    PageHarness()
        : m_page(new QWebEnginePage(&m_profile, &m_view))
    {
        m_channel.registerObject(QStringLiteral("interactObj"), &m_probe);
        m_page->setWebChannel(&m_channel);
        m_view.setPage(m_page);
        m_view.resize(1052, 860);
    }

    bool load(const QUrl &url)
    {
        QSignalSpy loaded(m_page, &QWebEnginePage::loadFinished);
        m_page->load(url);
        return loaded.wait(30000) && loaded.first().first().toBool();
    }

    QVariant eval(const QString &script) { return runJs(m_page, script); }

    // Clicks the first element matching selector once it exists.
    bool click(const QString &selector)
    {
        const QString script = QStringLiteral("(function(){const e=document.querySelector(%1);"
                                              "if(!e)return false;e.click();return true;})()")
                                   .arg(jsString(selector));
        return QTest::qWaitFor([&] { return eval(script).toBool(); }, 10000);
    }

    // The next message the page sends with this code: (str, json).
    QStringList waitFor(int code, int msec = 10000)
    {
        QStringList found;
        const bool seen = QTest::qWaitFor([&] {
            while (m_next < m_messages.size()) {
                const QList<QVariant> message = m_messages.at(m_next++);
                if (message.at(0).toInt() == code) {
                    found = QStringList{message.at(1).toString(), message.at(2).toString()};
                    return true;
                }
            }
            return false;
        }, msec);
        return seen ? found : QStringList();
    }

    void sendToPage(const QString &text) { emit m_probe.SigSendMessageToJS(text); }

private:
    QWebEngineProfile m_profile; // off the record; must outlive the page
    PageProbe m_probe;
    QWebChannel m_channel;
    QWebEngineView m_view;
    QWebEnginePage *m_page;
    QSignalSpy m_messages{&m_probe, &PageProbe::received};
    int m_next = 0;
};

inline QJsonObject jsonObject(const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    return document.isObject() ? document.object() : QJsonObject();
}

