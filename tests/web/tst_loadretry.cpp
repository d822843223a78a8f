#include "support/httpfixture.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "web/webview.h"
#ifdef Q_OS_UNIX
#include <csignal>
#endif

class TestLoadRetry : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/plain"), "<title>plain</title><p id=here>here");
        m_http.setBody(QStringLiteral("/next"), "<title>next</title>next");
        m_http.setBody(QStringLiteral("/slow"), "<title>slow</title>slow");
        m_http.setDelay(QStringLiteral("/slow"), 3000);
        m_http.setBody(QStringLiteral("/file.bin"), QByteArray(1000, 'x'), "application/octet-stream");
    }

    // Loads that end as failures but leave the page running: one replaced by
    // a newer load, one that became a download. Neither is reloaded.
    void loadsThatWentOnAreNotRetried()
    {
        WebView view(testProfile(), nullptr);
        auto *retry = new LoadRetry(&view);
        QSignalSpy dropped(retry, &LoadRetry::retryDropped);
        view.show(); // a hidden page's timers are throttled
        view.load(m_http.url(QStringLiteral("/plain")));
        QVERIFY(waitForLoad(&view));
        runJs(view.page(), QStringLiteral("window.ticks = 0; setInterval(() => ticks++, 20)"));

        runJs(view.page(), QStringLiteral("location.href = '/slow'; setTimeout(() => location.href = '/next', 200)"));
        QTRY_VERIFY_WITH_TIMEOUT(view.url().path() == QStringLiteral("/next") && dropped.count() == 1, 10000);
        runJs(view.page(), QStringLiteral("window.ticks = 0; setInterval(() => ticks++, 20)"));

        QSignalSpy loads(&view, &QWebEngineView::loadStarted);
        runJs(view.page(), QStringLiteral("location.href = '/file.bin'"));
        QTRY_COMPARE(dropped.count(), 2);
        QTest::qWait(1500); // past the first retry's time
        QVERIFY(!retry->isPending());
        QCOMPARE(loads.count(), 1);
        QVERIFY(runJs(view.page(), QStringLiteral("window.ticks")).toInt() > 30);
        int nextLoads = 0;
        for (const HttpFixture::Request &request : m_http.requests())
            nextLoads += request.path == QStringLiteral("/next");
        QCOMPARE(nextLoads, 1);
    }

    void killedRendererIsBroughtBack()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs kill()");
#else
        WebView view(testProfile(), nullptr);
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(m_http.url(QStringLiteral("/plain")));
        QVERIFY(loaded.wait(20000));
        const qint64 renderer = view.page()->renderProcessPid();
        QVERIFY(renderer > 0);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
            "^page renderer (killed|crashed) \\(exit code \\d+\\): http://127.0.0.1:\\d+/plain - retrying after 1 s$")));
        loaded.clear();
        QCOMPARE(::kill(pid_t(renderer), SIGKILL), 0);
        QVERIFY(scheduled.wait(10000));
        QCOMPARE(scheduled.first().first().toInt(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && loaded.last().first().toBool(), 10000);
        QCOMPARE(runJs(view.page(), QStringLiteral("document.getElementById('here').textContent")).toString(),
                 QStringLiteral("here"));
        QVERIFY(view.page()->renderProcessPid() != renderer);
#endif
    }

};
KAVO_TEST(TestLoadRetry)

#include "tst_loadretry.moc"
