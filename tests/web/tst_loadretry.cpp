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

    static int requestsFor(const HttpFixture &http, const QString &method, const QString &path)
    {
        int count = 0;
        for (const HttpFixture::Request &request : http.requests())
            count += request.method == method && request.path == path;
        return count;
    }
    int loads(const QString &path) const { return requestsFor(m_http, QStringLiteral("GET"), path); }
    int heads(const QString &path) const { return requestsFor(m_http, QStringLiteral("HEAD"), path); }

    static void expectRetryWarning(const QUrl &url)
    {
        const QString line = QStringLiteral("^page failed to load: %1 - retrying after 1 s$");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(line.arg(QRegularExpression::escape(url.toString()))));
    }

    // A server's own page for an answer, saying which it is.
    static QByteArray statusPage(int status, const QByteArray &extra = QByteArray())
    {
        return "<title>answer</title>" + extra + "<p>the server says " + QByteArray::number(status);
    }

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

    void init() { m_http.clearRequests(); }

    // An answered 4xx is final; no answer, 5xx, 408 and 429 are retried.
    // Without a body the engine shows its own page in place of the server's.
    void statusDecidesTheRetry_data()
    {
        QTest::addColumn<int>("status"); // 0: a closed port
        QTest::addColumn<bool>("withBody");
        QTest::addColumn<bool>("retried");
        QTest::newRow("403") << 403 << true << false;
        QTest::newRow("403 without a body") << 403 << false << false;
        QTest::newRow("404") << 404 << true << false;
        QTest::newRow("404 without a body") << 404 << false << false;
        QTest::newRow("500") << 500 << true << true;
        QTest::newRow("500 without a body") << 500 << false << true;
        QTest::newRow("503") << 503 << true << true;
        QTest::newRow("408") << 408 << true << true;
        QTest::newRow("429") << 429 << true << true;
        QTest::newRow("429 without a body") << 429 << false << true;
        QTest::newRow("refused") << 0 << false << true;
    }

    void statusDecidesTheRetry()
    {
        QFETCH(int, status);
        QFETCH(bool, withBody);
        QFETCH(bool, retried);
        const QString path = QStringLiteral("/status/%1/%2").arg(status).arg(withBody ? "body" : "empty");
        const QUrl url = status ? m_http.url(path) : QUrl(QStringLiteral("http://%1%2").arg(unusedHostPort(), path));
        if (status)
            m_http.setBody(path, withBody ? statusPage(status) : QByteArray(), "text/html; charset=utf-8", status);

        WebView view(testProfile(), nullptr);
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy started(&view, &QWebEngineView::loadStarted);
        if (retried)
            expectRetryWarning(url);
        view.load(url);

        if (retried) {
            // The load and the first retry, a second after it failed.
            QTRY_VERIFY_WITH_TIMEOUT(started.count() >= 2, 4000);
            if (status)
                QTRY_VERIFY_WITH_TIMEOUT(loads(path) >= 2, 4000);
            QVERIFY(!scheduled.isEmpty());
            QCOMPARE(scheduled.first().first().toInt(), 1000);
        } else {
            QTest::qWait(3500); // past the first two retries' times
            QCOMPARE(loads(path), 1);
            QVERIFY(scheduled.isEmpty());
            QVERIFY(!retry->isPending());
            QCOMPARE(started.count(), 1);
            // What the server sent stays; an empty answer gets the engine's
            // page, which names the status.
            const QString shown = runJs(view.page(), QStringLiteral("document.body.innerText")).toString();
            const QString expected = withBody ? QStringLiteral("the server says %1") : QStringLiteral("HTTP ERROR %1");
            QVERIFY2(shown.contains(expected.arg(status)), qPrintable(shown));
        }
        // The server's own page is asked about once; the engine's needs no request.
        if (status)
            QCOMPARE(heads(path), withBody ? 1 : 0);
    }

    // A final answer that reloads itself is left to do so: every load is
    // the page's own, and its status is asked once, not at each reload.
    void finalPageReloadingItselfIsLeftAlone_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<QByteArray>("refreshHeader");
        QTest::newRow("meta refresh") << QStringLiteral("/reloads/meta")
                                      << QByteArray("<meta http-equiv=refresh content=1>") << QByteArray();
        QTest::newRow("Refresh header") << QStringLiteral("/reloads/header") << QByteArray() << QByteArray("1");
        QTest::newRow("script") << QStringLiteral("/reloads/script")
                                << QByteArray("<script>setTimeout(() => location.reload(), 1000)</script>")
                                << QByteArray();
    }

    void finalPageReloadingItselfIsLeftAlone()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, extra);
        QFETCH(QByteArray, refreshHeader);
        m_http.setBody(path, statusPage(403, extra), "text/html; charset=utf-8", 403);
        if (!refreshHeader.isEmpty())
            m_http.setHeader(path, "Refresh", refreshHeader);

        WebView view(testProfile(), nullptr);
        view.show(); // a hidden page's timers are throttled
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy dropped(retry, &LoadRetry::retryDropped);
        view.load(m_http.url(path));
        QTRY_VERIFY_WITH_TIMEOUT(loads(path) >= 4, 10000);
        QVERIFY(scheduled.isEmpty());
        QVERIFY(dropped.isEmpty());
        QCOMPARE(heads(path), 1);
    }

    // A server that does not do HEAD says so with 405: the page is asked
    // for once more, as the load asked for it.
    void serverWithoutHeadIsAskedWithGet()
    {
        const QString path = QStringLiteral("/nohead");
        m_http.setBody(path, statusPage(403), "text/html; charset=utf-8", 403);
        m_http.setHeadStatus(path, 405);
        WebView view(testProfile(), nullptr);
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        view.load(m_http.url(path));
        QTRY_COMPARE(loads(path), 2);
        QTest::qWait(2500); // past the first retry's time
        QStringList methods;
        for (const HttpFixture::Request &request : m_http.requests()) {
            if (request.path == path)
                methods << request.method;
        }
        QCOMPARE(methods, (QStringList{QStringLiteral("GET"), QStringLiteral("HEAD"), QStringLiteral("GET")}));
        QVERIFY(scheduled.isEmpty());
    }

    // The final answer is remembered for the address, but only for the
    // server's own page: a reload that finds no server is retried.
    void rememberedAnswerNeverHidesANetworkFailure()
    {
        auto http = std::make_unique<HttpFixture>();
        QVERIFY(http->start());
        const QUrl url = http->url(QStringLiteral("/game"));
        http->setBody(QStringLiteral("/game"), statusPage(403), "text/html; charset=utf-8", 403);
        WebView view(testProfile(), nullptr);
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy finished(&view, &QWebEngineView::loadFinished);
        view.load(url);
        QTRY_COMPARE(requestsFor(*http, QStringLiteral("HEAD"), QStringLiteral("/game")), 1);
        QTest::qWait(1500); // past the first retry's time
        QVERIFY(scheduled.isEmpty());

        http.reset();
        expectRetryWarning(url);
        view.reload();
        QVERIFY(scheduled.wait(10000));
        QCOMPARE(scheduled.first().first().toInt(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 5000); // the load, the reload and the retry
    }

    // A success forgets what the address answered before, so a server that
    // has gone from 4xx to 5xx is asked again and retried.
    void successForgetsTheAnswer()
    {
        const QString path = QStringLiteral("/changing");
        m_http.setBody(path, statusPage(403), "text/html; charset=utf-8", 403);
        WebView view(testProfile(), nullptr);
        auto *retry = new LoadRetry(&view);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy finished(&view, &QWebEngineView::loadFinished);
        view.load(m_http.url(path));
        QTRY_COMPARE(heads(path), 1);
        QTest::qWait(1500); // past the first retry's time
        QVERIFY(scheduled.isEmpty());

        // The same answer again is not asked about again.
        view.reload();
        QTRY_COMPARE(finished.count(), 2);
        QTest::qWait(1500);
        QCOMPARE(loads(path), 2);
        QCOMPARE(heads(path), 1);
        QVERIFY(scheduled.isEmpty());

        m_http.setBody(path, statusPage(200));
        view.reload();
        QVERIFY(waitForLoad(&view));

        m_http.setBody(path, statusPage(503), "text/html; charset=utf-8", 503);
        expectRetryWarning(m_http.url(path));
        view.reload();
        QVERIFY(scheduled.wait(10000));
        QCOMPARE(heads(path), 2);
        QTRY_COMPARE(loads(path), 5);
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
        QCOMPARE(this->loads(QStringLiteral("/next")), 1);
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
