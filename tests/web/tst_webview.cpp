#include "support/httpfixture.h"
#include "support/lookup.h"
#include "support/testmain.h"
#include "support/webtools.h"
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
        WebView view;
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
        QCOMPARE(view.url().path(), QStringLiteral("/links"));

        window->close();
        QTRY_VERIFY(window.isNull() && tabView.isNull());
    }

    void popupsAndBackgroundTabsStayInTheView()
    {
        WebView view;
        QVERIFY(showLinkPage(view));
        QVERIFY(clickElement(&view, QStringLiteral("#popup")));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/popup"), 10000);

        QVERIFY(showLinkPage(view));
        QVERIFY(clickElement(&view, QStringLiteral("#tab"), Qt::MiddleButton));
        QTRY_COMPARE_WITH_TIMEOUT(view.url().path(), QStringLiteral("/second"), 10000);
        QVERIFY(tabWindows().isEmpty());
    }
};
KAVO_TEST(TestWebView)

#include "tst_webview.moc"
