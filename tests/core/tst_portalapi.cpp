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

    void aSilentServerFailsAfterFifteenSeconds()
    {
        QTcpServer silent; // accepts, then never says a word
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        PortalApi api;
        QElapsedTimer clock;
        clock.start();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Failed: .* no answer within 15 s$")));
        const PortalReply reply =
            fetch(api, QUrl(QStringLiteral("http://127.0.0.1:%1/update/").arg(silent.serverPort())), 25000);
        QVERIFY(!reply.ok);
        // A coarse timer may fire up to 5% early.
        QVERIFY2(clock.elapsed() >= 14000 && clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }
};
KAVO_TEST(TestPortalApi)

#include "tst_portalapi.moc"
