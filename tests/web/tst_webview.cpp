#include "support/httpfixture.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/webview.h"
#include <QMainWindow>
#include <QMenu>
#include <QPointer>

class TestWebView : public TestCase
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
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/links"), testPage(QStringLiteral("web/pages/links.html")));
        m_http.setBody(QStringLiteral("/second"), "<title>second page</title><p>second");
        m_http.setBody(QStringLiteral("/popup"), "<title>popup</title><p>popup");
    }

    void aRightClickOpensNoMenu()
    {
        WebView view;
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
KAVO_TEST(TestWebView)

#include "tst_webview.moc"
