#include "core/tinteractobj.h"
#include "support/httpfixture.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "web/webview.h"
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QWebChannel>
#include <QWebEngineSettings>
#ifdef Q_OS_UNIX
#include <csignal>
#endif

class TestBridge : public QObject
{
    Q_OBJECT
private:
    HttpFixture m_http;

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/talk"), testPage(QStringLiteral("web/pages/talk.html")));
        m_http.setBody(QStringLiteral("/look"), testPage(QStringLiteral("web/pages/look.html")));
    }

    void messagesTravelBothWays()
    {
        WebView view;
        TInteractObj *bridge = installBridge(&view);
        QSignalSpy received(bridge, &TInteractObj::SigReceivedMessFromJS);
        view.load(m_http.url(QStringLiteral("/talk")));

        QVERIFY(received.wait(20000));
        QCOMPARE(received.at(0).at(0).toInt(), 10);
        QCOMPARE(received.at(0).at(1).toString(), QStringLiteral("enter 进入"));
        bool ok = false;
        const QJsonObject json = bridgeParameters(received.at(0).at(2).toString(), &ok);
        QVERIFY(ok);
        QCOMPARE(json.value(QStringLiteral("title")).toString(), QStringLiteral("西游 & <1服>"));
        QCOMPARE(json.value(QStringLiteral("url")).toString(), QStringLiteral("http://x/?a=1&b=2"));

        emit bridge->SigSendMessageToJS(QStringLiteral("autoLogin 中文 \"quoted\""));
        QVERIFY(received.wait(10000));
        QCOMPARE(received.at(1).at(0).toInt(), 99);
        QCOMPARE(received.at(1).at(2).toString(), QStringLiteral("autoLogin 中文 \"quoted\""));
    }

    void onlyTheExactObjectNameIsOffered()
    {
        WebView view;
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
        auto *view = new WebView;
        QPointer<TInteractObj> bridge = installBridge(view);
        QPointer<QWebChannel> channel = view->page()->webChannel();
        QVERIFY(bridge && channel);
        delete view;
        QVERIFY(bridge.isNull());
        QVERIFY(channel.isNull());
    }

    void parametersMustBeOneObject_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("name");
        QTest::newRow("object") << R"({"name":"abc","extra":1})" << true << "abc";
        QTest::newRow("object without the key") << "{}" << true << "";
        QTest::newRow("key of another type") << R"({"name":42})" << true << "";
        QTest::newRow("unicode") << R"({"name":"玩家 a&b"})" << true << "玩家 a&b";
        QTest::newRow("array") << R"([{"name":"abc"}])" << false << "";
        QTest::newRow("bare address") << "http://127.0.0.1/news/1.html" << false << "";
        QTest::newRow("string") << R"("abc")" << false << "";
        QTest::newRow("truncated") << "{\"name\":\"ab" << false << "";
        QTest::newRow("trailing junk") << R"({"name":"abc"} x)" << false << "";
        QTest::newRow("empty") << "" << false << "";
    }

    void parametersMustBeOneObject()
    {
        QFETCH(QString, json);
        QFETCH(bool, ok);
        QFETCH(QString, name);
        bool parsed = !ok;
        const QJsonObject parameters = bridgeParameters(json, &parsed);
        QCOMPARE(parsed, ok);
        QCOMPARE(parameters.value(QStringLiteral("name")).toString(), name);
    }

    void passwordsNeverReachTheLog_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QString>("secret");
        QTest::newRow("password") << R"({"name":"abc","password":"hunter2"})" << "hunter2";
        QTest::newRow("pwd, spaced") << "{\"pwd\" : \"s3 cr\\\"et\"}" << "s3 cr";
        QTest::newRow("upper case") << R"({"PassWord":"Xyz"})" << "Xyz";
        QTest::newRow("query text") << "user=abc&password=hunter2&x=1" << "hunter2";
        QTest::newRow("not JSON") << "{password: 'hunter2'}" << "hunter2";
    }

    void passwordsNeverReachTheLog()
    {
        QFETCH(QString, json);
        QFETCH(QString, secret);
        const QString logged = bridgeJsonForLog(json);
        QVERIFY2(!logged.contains(secret), qPrintable(logged));
        QVERIFY(logged.contains(QStringLiteral("***")));
    }

    void harmlessTextIsLoggedUnchanged()
    {
        const QString json = QStringLiteral("{\"name\":\"passer-by\",\"title\":\"password reset\",\"url\":\"http://x/?pass=1\"}");
        // "pass" as a query key inside a value is masked too; names and titles stay.
        const QString logged = bridgeJsonForLog(json);
        QVERIFY(logged.contains(QStringLiteral(R"("name":"passer-by")")));
        QVERIFY(logged.contains(QStringLiteral(R"("title":"password reset")")));
    }
};

class TestWebView : public QObject
{
    Q_OBJECT
private:
    HttpFixture m_http;

    static QList<QMainWindow *> tabWindows()
    {
        QList<QMainWindow *> found;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (auto *main = qobject_cast<QMainWindow *>(window); main && main->isVisible())
                found.append(main);
        }
        return found;
    }

    // A shown view with the link page loaded.
    static bool showLinkPage(WebView &view, const QUrl &url)
    {
        view.resize(800, 600);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            return false;
        QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
        view.load(url);
        return loaded.wait(20000) && loaded.first().first().toBool();
    }

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/links"), testPage(QStringLiteral("web/pages/links.html")));
        m_http.setBody(QStringLiteral("/second"), "<title>second page</title><p>second");
        m_http.setBody(QStringLiteral("/popup"), "<title>popup</title><p>popup");
    }

    void engineSettingsAndNoContextMenu()
    {
        WebView view;
        QCOMPARE(view.contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(view.settings()->testAttribute(QWebEngineSettings::PluginsEnabled));
        QVERIFY(view.settings()->testAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled));

        QVERIFY(showLinkPage(view, m_http.url(QStringLiteral("/links"))));
        QVERIFY(clickElement(&view, QStringLiteral("#popup"), Qt::RightButton));
        QTest::qWait(300); // a menu would pop up at once
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(view.findChildren<QMenu *>().isEmpty());
    }

    void newTabGetsAWindowOfItsOwn()
    {
        WebView view;
        QVERIFY(showLinkPage(view, m_http.url(QStringLiteral("/links"))));
        QVERIFY(tabWindows().isEmpty());

        QVERIFY(clickElement(&view, QStringLiteral("#tab")));
        QTRY_COMPARE_WITH_TIMEOUT(tabWindows().size(), 1, 10000);
        QPointer<QMainWindow> window = tabWindows().first();
        QCOMPARE(window->size(), QSize(1600, 900));
        auto *tabView = qobject_cast<WebView *>(window->centralWidget());
        QVERIFY(tabView);
        QTRY_COMPARE_WITH_TIMEOUT(tabView->url().path(), QStringLiteral("/second"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("second page"), 10000);
        QCOMPARE(tabView->contextMenuPolicy(), Qt::NoContextMenu);

        QCOMPARE(view.url().path(), QStringLiteral("/links"));
        QCOMPARE(view.title(), QStringLiteral("first"));

        QPointer<WebView> tabViewAlive = tabView;
        window->close();
        QTRY_VERIFY(window.isNull());
        QVERIFY(tabViewAlive.isNull());
    }

    void popupsAndBackgroundTabsStayInTheView()
    {
        WebView view;
        QVERIFY(showLinkPage(view, m_http.url(QStringLiteral("/links"))));

        QVERIFY(clickElement(&view, QStringLiteral("#popup")));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/popup"), 10000);
        QVERIFY(tabWindows().isEmpty());

        QVERIFY(showLinkPage(view, m_http.url(QStringLiteral("/links"))));
        QVERIFY(clickElement(&view, QStringLiteral("#tab"), Qt::MiddleButton));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/second"), 10000);
        QVERIFY(tabWindows().isEmpty());
    }
};

class TestLoadRetry : public QObject
{
    Q_OBJECT
private:
    HttpFixture m_http;

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
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

    void delaysDoubleUpToHalfAMinute()
    {
        QVector<int> delays{LoadRetry::kFirstDelayMs};
        while (delays.size() < 8)
            delays.append(LoadRetry::nextDelay(delays.last()));
        QCOMPARE(delays, (QVector<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
        QCOMPARE(LoadRetry::nextDelay(0), 1000);
        QCOMPARE(LoadRetry::nextDelay(20000), 30000);
    }
};

int main(int argc, char **argv)
{
    return runTests<TestBridge, TestWebView, TestLoadRetry>(argc, argv);
}

#include "tst_web.moc"
