#include "support/httpfixture.h"
#include "support/lookup.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "core/openlimiter.h"
#include "web/webview.h"
#include <QMainWindow>
#include <QMenu>

class TestWebView : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;

    static QList<QMainWindow *> tabWindows()
    {
        QList<QMainWindow *> shown = topLevels<QMainWindow>();
        shown.erase(std::remove_if(shown.begin(), shown.end(), [](QMainWindow *w) { return !w->isVisible(); }), shown.end());
        return shown;
    }

    // A shown view with the link page loaded.
    bool showLinkPage(WebView &view)
    {
        view.resize(800, 600);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            return false;
        view.load(m_http.url(QStringLiteral("/links")));
        return waitForLoad(&view);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/links"), testPage(QStringLiteral("web/pages/links.html")));
        m_http.setBody(QStringLiteral("/second"), "<title>second page</title><p>second");
        m_http.setBody(QStringLiteral("/popup"), "<title>popup</title><p>popup");
    }

    void newTabGetsAWindowOfItsOwnWithoutAMenu()
    {
        WebView view(testProfile(), nullptr);
        QVERIFY(showLinkPage(view));
        QVERIFY(clickElement(&view, QStringLiteral("#popup"), Qt::RightButton));
        QTest::qWait(300); // a menu would pop up at once
        QVERIFY(!QApplication::activePopupWidget() && view.findChildren<QMenu *>().isEmpty());

        QVERIFY(clickElement(&view, QStringLiteral("#tab")));
        QTRY_COMPARE_WITH_TIMEOUT(tabWindows().size(), 1, 10000);
        QPointer<QMainWindow> window = tabWindows().first();
        QPointer<WebView> tabView = qobject_cast<WebView *>(window->centralWidget());
        QVERIFY(tabView);
        QTRY_COMPARE_WITH_TIMEOUT(tabView->url().path(), QStringLiteral("/second"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("second page"), 10000);
        QCOMPARE(tabView->contextMenuPolicy(), Qt::NoContextMenu);
        QCOMPARE(tabView->page()->profile(), view.page()->profile());
        QCOMPARE(view.url().path(), QStringLiteral("/links"));

        window->close();
        QTRY_VERIFY(window.isNull() && tabView.isNull());

        // A window nobody closed goes with the page that opened it.
        auto *opener = new WebView(testProfile(), nullptr);
        QVERIFY(showLinkPage(*opener));
        QVERIFY(clickElement(opener, QStringLiteral("#tab")));
        QTRY_COMPARE_WITH_TIMEOUT(tabWindows().size(), 1, 10000);
        window = tabWindows().first();
        delete opener;
        QVERIFY(window.isNull());
    }

    void popupsAndBackgroundTabsStayInTheView()
    {
        WebView view(testProfile(), nullptr);
        QVERIFY(showLinkPage(view));
        QVERIFY(clickElement(&view, QStringLiteral("#popup")));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/popup"), 10000);

        QVERIFY(showLinkPage(view));
        QVERIFY(clickElement(&view, QStringLiteral("#tab"), Qt::MiddleButton));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/second"), 10000);
        QVERIFY(tabWindows().isEmpty());
    }

    void windowsCountAgainstThePagesLimit()
    {
        WebView view(testProfile(), nullptr);
        QVERIFY(showLinkPage(view));
        const int before = tabWindows().size();
        for (int i = 0; i < OpenLimiter::kPerSecond; ++i)
            QVERIFY(view.allowOpen(QStringLiteral("tab")));
        QTest::ignoreMessage(QtWarningMsg, "page asked for more than 5 tabs, windows or browser addresses "
                                           "within a second; dropped: window");
        runJs(view.page(), QStringLiteral("for (let i = 0; i < 3; ++i) document.getElementById('tab').click()"));
        QTest::qWait(300);
        // A loaded machine may let a later click through, a second on.
        QVERIFY(tabWindows().size() - before < 3);
        for (QMainWindow *window : tabWindows())
            window->close();
    }

    void theLimitIsASlidingSecond()
    {
        qint64 now = 0;
        OpenLimiter limiter([&now] { return now; });
        for (int i = 0; i < OpenLimiter::kPerSecond; ++i, now += 100)
            QVERIFY(limiter.allow(QStringLiteral("tab")));
        // One warning a burst; the rest of it goes to the debug log.
        QTest::ignoreMessage(QtWarningMsg, "page asked for more than 5 tabs, windows or browser addresses "
                                           "within a second; dropped: tab a");
        QVERIFY(!limiter.allow(QStringLiteral("tab a")));
        now = 999;
        QVERIFY(!limiter.allow(QStringLiteral("tab b")));
        now = 1000; // a second after the first one
        QVERIFY(limiter.allow(QStringLiteral("tab")));
        QTest::ignoreMessage(QtWarningMsg, "page asked for more than 5 tabs, windows or browser addresses "
                                           "within a second; dropped: tab c");
        QVERIFY(!limiter.allow(QStringLiteral("tab c")));
        now = 1100;
        QVERIFY(limiter.allow(QStringLiteral("tab")));
    }
};
KAVO_TEST(TestWebView)

#include "tst_webview.moc"
