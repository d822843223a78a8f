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
    }

    void killedRendererIsBroughtBack()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs kill()");
#else
        WebView view;
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(m_http.url(QStringLiteral("/plain")));
        QVERIFY(loaded.wait(20000));
        const qint64 renderer = view.page()->renderProcessPid();
        QVERIFY(renderer > 0);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
            "^page renderer (killed|crashed) \\(exit code \\d+\\): http://127.0.0.1:\\d+/plain - retrying in 1 s$")));
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
