#include "core/portalapi.h"
#include "support/httpfixture.h"
#include "support/testmain.h"
#include <QElapsedTimer>
#include <QTcpServer>

class TestPortalApi : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;

    static PortalReply fetch(PortalApi &api, const QUrl &url, int msec = 10000)
    {
        PortalReply got;
        bool done = false;
        QObject context;
        api.get(url, &context, [&](const PortalReply &reply) {
            got = reply;
            done = true;
        });
        static_cast<void>(QTest::qWaitFor([&] { return done; }, msec)); // the caller checks the reply
        return got;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/update/"), R"({"version_code":3})", "application/json");
        m_http.setBody(QStringLiteral("/broken"), "oops", "text/plain", 500);
    }

    void bodiesAndFailures()
    {
        PortalApi api;
        QTest::ignoreMessage(QtDebugMsg, "status code= 200");
        const PortalReply good = fetch(api, m_http.url(QStringLiteral("/update/")));
        QVERIFY(good.ok);
        QCOMPARE(good.body, QByteArray(R"({"version_code":3})"));

        // The failure line names the address without its query: some carry
        // passwords and check codes.
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Failed: http://127.0.0.1:\\d+/broken \\S+$")));
        const PortalReply bad = fetch(api, m_http.url(QStringLiteral("/broken?password=hunter2")));
        QVERIFY(!bad.ok);
        QCOMPARE(bad.status, 500);
        QVERIFY(!bad.error.contains(QStringLiteral("hunter2")));
    }

    void aReplyForAGoneReceiverIsDropped()
    {
        PortalApi api;
        bool called = false;
        auto *context = new QObject;
        api.get(m_http.url(QStringLiteral("/update/")), context, [&](const PortalReply &) { called = true; });
        delete context;
        QTest::qWait(500);
        QVERIFY(!called);
    }

    // One that never says a word, and one that sends a byte now and then
    // but never finishes: both end at the same deadline.
    void silentAndTricklingServersFailAfterFifteenSeconds()
    {
        QTcpServer silent; // accepts, then never says a word
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        m_http.setBody(QStringLiteral("/trickle"), QByteArray(100, 'x'));
        m_http.setTrickle(QStringLiteral("/trickle"), 500);
        PortalApi api;
        QElapsedTimer clock;
        clock.start();
        QVector<qint64> endedAt;
        QObject context;
        for (const QUrl &url : {QUrl(QStringLiteral("http://127.0.0.1:%1/update/").arg(silent.serverPort())),
                                m_http.url(QStringLiteral("/trickle"))}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Failed: .* no answer within 15 s$")));
            api.get(url, &context, [&](const PortalReply &reply) {
                QVERIFY(!reply.ok);
                endedAt.append(clock.elapsed());
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(endedAt.size(), 2, 25000);
        // A coarse timer may fire up to 5% early.
        for (qint64 at : endedAt)
            QVERIFY2(at >= 14000 && at < 20000, qPrintable(QString::number(at)));
    }
};
KAVO_TEST(TestPortalApi)

#include "tst_portalapi.moc"
