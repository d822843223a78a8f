#include "web/bridgeobject.h"
#include "support/httpfixture.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/webview.h"
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QWebChannel>

class TestBridgeObject : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/talk"), testPage(QStringLiteral("web/pages/talk.html")));
        m_http.setBody(QStringLiteral("/look"), testPage(QStringLiteral("web/pages/look.html")));
    }

    void messagesTravelBothWays()
    {
        WebView view(testProfile(), nullptr);
        BridgeObject *bridge = installBridge(&view);
        QSignalSpy received(bridge, &BridgeObject::messageReceived);
        view.load(m_http.url(QStringLiteral("/talk")));

        QVERIFY(received.wait(20000));
        QCOMPARE(received.at(0).at(0).toInt(), 10);
        QCOMPARE(received.at(0).at(1).toString(), QStringLiteral("enter 进入"));
        const QJsonObject json = QJsonDocument::fromJson(received.at(0).at(2).toString().toUtf8()).object();
        QCOMPARE(json.value(QStringLiteral("title")).toString(), QStringLiteral("西游 & <1服>"));
        QCOMPARE(json.value(QStringLiteral("url")).toString(), QStringLiteral("http://x/?a=1&b=2"));

        emit bridge->SigSendMessageToJS(QStringLiteral("autoLogin 中文 \"quoted\""));
        QVERIFY(received.wait(10000));
        QCOMPARE(received.at(1).at(0).toInt(), 99);
        QCOMPARE(received.at(1).at(2).toString(), QStringLiteral("autoLogin 中文 \"quoted\""));
    }

    void onlyTheExactObjectNameIsOffered()
    {
        WebView view(testProfile(), nullptr);
        installBridge(&view);
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        // The page's console reaches the log, its source without the query.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
            QStringLiteral("^looked at 1 object \\(http://127.0.0.1:\\d+/look:\\d+\\)$")));
        view.load(m_http.url(QStringLiteral("/look?ckcode=secret")));
        QVERIFY(loaded.wait(20000));
        QVariantMap seen;
        QVERIFY(QTest::qWaitFor([&] {
            seen = runJs(view.page(), QStringLiteral("window.seen || null")).toMap();
            return !seen.isEmpty();
        }, 10000));
        QCOMPARE(seen.value(QStringLiteral("names")).toStringList(), QStringList{QStringLiteral("interactObj")});
        QCOMPARE(seen.value(QStringLiteral("other")).toString(), QStringLiteral("undefined"));
        QCOMPARE(seen.value(QStringLiteral("mine")).toString(), QStringLiteral("object"));
    }

    void bridgeLivesAndDiesWithItsView()
    {
        auto *view = new WebView(testProfile(), nullptr);
        QPointer<BridgeObject> bridge = installBridge(view);
        QPointer<QWebChannel> channel = view->page()->webChannel();
        QVERIFY(bridge && channel);
        delete view;
        QVERIFY(bridge.isNull());
        QVERIFY(channel.isNull());
    }
};
KAVO_TEST(TestBridgeObject)

#include "tst_bridgeobject.moc"
