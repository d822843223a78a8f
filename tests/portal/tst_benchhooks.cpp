#include "portalclient.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include <QJsonArray>
#include <QJsonObject>
#include "support/webtools.h"
#include <QWebEngineView>

// The hooks a benchmark drives the box through: pages report their load
// events, and the home page sends the bridge messages queued for it.
class TestBenchHooks : public TestCase
{
    Q_OBJECT
private:
    PortalProcess m_portal;

    QJsonArray loadsSince(int seq)
    {
        return get(m_portal.url(QStringLiteral("/bench/loads.json?since=%1").arg(seq))).json().object()
            .value(QStringLiteral("loads")).toArray();
    }

private slots:
    void initTestCase() { QVERIFY(m_portal.start({QStringLiteral("--bench")})); }

    void onlyABenchPortalHasThem()
    {
        PortalProcess plain;
        QVERIFY(plain.start());
        QVERIFY(!get(plain.url(QStringLiteral("/landers.html")), kBrowserAccept).body.contains("bench.js"));
        QCOMPARE(get(plain.url(QStringLiteral("/bench/loads.json"))).status, 404);

        const QByteArray home = get(m_portal.url(QStringLiteral("/landers.html")), kBrowserAccept).body;
        QVERIFY(home.contains("<script src=\"/static/bench.js\" data-messages=\"0\"></script>\n</body>"));
        // Only the home page relays messages; a second relay would take them from it.
        const QByteArray search = get(m_portal.url(QStringLiteral("/search.html")), kBrowserAccept).body;
        QVERIFY(search.contains("bench.js"));
        QVERIFY(!search.contains("data-messages"));
        QVERIFY(get(m_portal.url(QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1")), kBrowserAccept)
                    .body.contains("bench.js"));
    }

    void loadReportsAreListedInOrder()
    {
        const int before = loadsSince(0).size();
        QCOMPARE(get(m_portal.url(QStringLiteral("/bench/loaded?page=%2Fa%3Fx%3D1&at=1000"))).status, 204);
        QCOMPARE(get(m_portal.url(QStringLiteral("/bench/loaded?page=/b&at=2000"))).status, 204);
        for (const QString &bad : {QStringLiteral("page=/c"), QStringLiteral("page=/c&at=soon"), QStringLiteral("at=5")})
            QCOMPARE(get(m_portal.url(QStringLiteral("/bench/loaded?") + bad)).status, 400);

        const QJsonArray loads = loadsSince(before);
        QCOMPARE(loads.size(), 2);
        const QJsonObject first = loads.at(0).toObject();
        QCOMPARE(first[QStringLiteral("page")].toString(), QStringLiteral("/a?x=1"));
        QCOMPARE(first[QStringLiteral("at")].toDouble(), 1000.0);
        QCOMPARE(first[QStringLiteral("seq")].toInt(), before + 1);
        QVERIFY(first[QStringLiteral("received")].toDouble() > 1e12); // the portal's clock, ms since the epoch
        QCOMPARE(loads.at(1).toObject()[QStringLiteral("seq")].toInt(), before + 2);
        QVERIFY(loadsSince(before + 2).isEmpty());
    }

    void homePageReportsItsLoadAndRelaysMessages()
    {
        const int before = loadsSince(0).size();
        BridgedPage home;
        QVERIFY(home.load(m_portal.url(QStringLiteral("/landers.html"))));
        QTRY_COMPARE_WITH_TIMEOUT(loadsSince(before).size(), 1, 10000);
        const QJsonObject load = loadsSince(before).at(0).toObject();
        QCOMPARE(load[QStringLiteral("page")].toString(), QStringLiteral("/landers.html"));
        const qint64 at = qint64(load[QStringLiteral("at")].toDouble());
        QVERIFY(qAbs(at - QDateTime::currentMSecsSinceEpoch()) < 60000);

        const QString game = QStringLiteral("{\"title\":\"西游 & 1\",\"url\":\"http://127.0.0.1/entergame.php?game=xyj\"}");
        const QUrl send = m_portal.url(QStringLiteral("/bench/send?code=3&str=open&json=")
                                       + QString::fromLatin1(QUrl::toPercentEncoding(game)));
        // Queued back to back: each reaches the page once, in order.
        QCOMPARE(get(send).status, 200);
        QCOMPARE(get(m_portal.url(QStringLiteral("/bench/send?code=100&json=%7B%7D"))).status, 200);
        QCOMPARE(home.waitFor(3), (QStringList{QStringLiteral("open"), game}));
        QCOMPARE(home.waitFor(100), (QStringList{QString(), QStringLiteral("{}")}));
        QCOMPARE(get(m_portal.url(QStringLiteral("/bench/send?code=three"))).status, 400);
        // Kept for whoever asks after them: a request held for a page that
        // has gone takes nothing away from the next home page.
        QCOMPARE(get(m_portal.url(QStringLiteral("/bench/command?after=1&wait=0"))).json().object()[QStringLiteral("code")].toInt(), 100);
        QCOMPARE(get(m_portal.url(QStringLiteral("/bench/command?after=2&wait=0"))).status, 204);
    }

    // The benchmark waits for the address it opened; the game moves on to
    // its own address once loaded.
    void anEnteredGameReportsItsEntryAddress()
    {
        const int before = loadsSince(0).size();
        const QString entry = QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1");
        BridgedPage game;
        QVERIFY(game.load(m_portal.url(entry)));
        QTRY_COMPARE_WITH_TIMEOUT(loadsSince(before).size(), 1, 10000);
        QCOMPARE(loadsSince(before).at(0).toObject()[QStringLiteral("page")].toString(), entry);
        QTRY_COMPARE(game.view.url().path(), QStringLiteral("/play/game.php"));
    }

    void pageShownAgainReportsItsFirstFrame()
    {
        const auto shown = [this] {
            return get(m_portal.url(QStringLiteral("/bench/shown.json"))).json().object().value(QStringLiteral("shown")).toArray();
        };
        const int before = shown().size();
        const QString game = QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1");
        QWebEngineView view;
        view.resize(400, 300);
        view.show();
        view.load(m_portal.url(game));
        QVERIFY(waitForLoad(&view, 30000));
        view.hide();
        QTRY_COMPARE_WITH_TIMEOUT(runJs(view.page(), QStringLiteral("document.visibilityState")).toString(), QStringLiteral("hidden"), 10000);
        QCOMPARE(shown().size(), before); // the first show is the load's, not a return
        const qint64 showing = QDateTime::currentMSecsSinceEpoch();
        view.show();
        QTRY_COMPARE_WITH_TIMEOUT(shown().size(), before + 1, 10000);
        const QJsonObject frame = shown().at(before).toObject();
        QCOMPARE(frame[QStringLiteral("page")].toString(), game);
        QVERIFY(qint64(frame[QStringLiteral("at")].toDouble()) >= showing);
        // Kept apart: a benchmark matching loads by page must not take a return for a load.
        for (const QJsonValue &load : loadsSince(0))
            QVERIFY(load.toObject()[QStringLiteral("at")].toDouble() < showing);
    }

    void pendingRelayDoesNotHoldUpTheStop()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--bench")}));
        QCOMPARE(get(portal.url(QStringLiteral("/bench/command?after=0&wait=0"))).status, 204);
        QNetworkAccessManager network;
        QNetworkRequest held(portal.url(QStringLiteral("/bench/command?after=0&wait=60000")));
        // Otherwise the answered connection idles on, and a stop waits for that.
        held.setRawHeader("Connection", "close");
        QNetworkReply *pending = network.get(held);
        QTest::qWait(300); // proving only that the request is held, not answered
        QVERIFY(!pending->isFinished());
        QElapsedTimer stopping;
        stopping.start();
        portal.stop();
        QVERIFY2(stopping.elapsed() < 5000, "the portal waited for its held request before stopping");
        delete pending;
    }

    void demoLoginAfterTheGivenDelay()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--demo-login"), QStringLiteral("bench"), QStringLiteral("--demo-login-delay"),
                              QStringLiteral("0")}));
        BridgedPage login;
        QVERIFY(login.load(portal.url(QStringLiteral("/Kavobox2"))));
        QCOMPARE(login.waitForObject(2, 3000)[QStringLiteral("name")].toString(), QStringLiteral("bench"));

        PortalProcess wrong;
        QVERIFY(!wrong.start({QStringLiteral("--demo-login-delay"), QStringLiteral("-1")}));
    }
};
KAVO_TEST(TestBenchHooks)

#include "tst_benchhooks.moc"
