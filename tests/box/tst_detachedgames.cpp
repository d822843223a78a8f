#include "box/detachedgames.h"
#include "box/mainwindow.h"
#include "box/tabwidget.h"
#include "core/endpoints.h"
#include "support/boxfixture.h"
#include "support/browsercatcher.h"
#include "support/httpfixture.h"
#include "support/lookup.h"
#include "support/messageboxes.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/detachedwindow.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QLabel>
#include <QToolButton>
#include <algorithm>

namespace {
// The title bar's controls by their accessible names, left to right.
QStringList controlNames(DetachedWindow *window)
{
    QList<QLabel *> labels = window->findChildren<QLabel *>();
    labels.erase(std::remove_if(labels.begin(), labels.end(), [](QLabel *l) { return l->pixmap(Qt::ReturnByValue).isNull(); }),
                 labels.end());
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
    QStringList names;
    for (QLabel *label : qAsConst(labels))
        names.append(label->accessibleName());
    return names;
}

QLabel *control(DetachedWindow *window, const QString &name)
{
    return childCalled<QLabel>(window, name);
}

int ticks(GamePage *page)
{
    return runJs(page->webView()->page(), QStringLiteral("window.ticks")).toInt();
}
} // namespace

// A game tab let out into a window of its own, and back.
class TestDetachedGames : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    HttpFixture m_http;
    QPointer<MainWindow> m_window;
    const QString m_gamePath = QStringLiteral("/game/play");

    QUrl gameUrl() const
    {
        QUrl url = m_http.url(m_gamePath);
        url.setQuery(QStringLiteral("game=xyj&server=s7"));
        return url;
    }
    int gameRequests() const
    {
        const QVector<HttpFixture::Request> requests = m_http.requests();
        return int(std::count_if(requests.begin(), requests.end(),
                                 [this](const HttpFixture::Request &r) { return r.path == m_gamePath; }));
    }
    // A running game tab, detached with its toolbar button.
    DetachedWindow *detachGame(const QString &title)
    {
        GamePage *page = m_window->openGame(title, gameUrl());
        if (!waitForLoad(page->webView())
            || !QTest::qWaitFor([page] { return runJs(page->webView()->page(), QStringLiteral("!!window.kavoBridge")).toBool(); }))
            return nullptr;
        page->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
        DetachedWindow *window = m_window->detachedGames()->windows().value(0);
        return window && QTest::qWaitForWindowExposed(window) ? window : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(m_gamePath, testPage(QStringLiteral("web/pages/counter.html")));
        serveBareBox(m_http);
    }

    void init()
    {
        m_http.clearRequests();
        m_window = m_box.openWindow();
    }

    void cleanup()
    {
        for (DetachedWindow *window : m_window ? m_window->detachedGames()->windows() : QList<DetachedWindow *>())
            delete window;
        m_box.closeWindows();
    }

    void detachAndMergeKeepTheRunningGame()
    {
        BrowserCatcher browser;
        QPointer<DetachedWindow> window = detachGame(QStringLiteral("西游降魔录 & 1服"));
        QVERIFY(window);
        QPointer<GamePage> page = window->page();
        QCOMPARE(page->parentWidget(), window.data());
        QCOMPARE(m_window->tabs()->count(), 2);
        QCOMPARE(window->windowTitle(), QStringLiteral("西游降魔录 & 1服"));
        QCOMPARE(controlNames(window), (QStringList{"未置顶", "充值", "刷新", "窗口合并", "最小化", "最大化", "关闭"}));
        QVERIFY(!page->findChild<QToolButton *>(QStringLiteral("detachButton"))->isVisibleTo(window));
        // The game fills the window below its title bar.
        QVERIFY(page->webView()->isVisible() && page->webView()->height() > window->height() - 50);

        // Still the same game, running, and still speaking its bridge.
        const int before = ticks(page);
        QTRY_VERIFY(ticks(page) > before);
        QCOMPARE(gameRequests(), 1);
        sendFromPage(page->webView(), 888, QStringLiteral("{url: 'https://example.org/help'}"));
        QTRY_COMPARE(browser.urls, QList<QUrl>{QUrl(QStringLiteral("https://example.org/help"))});

        // Its top-up page, for the game and server of its address.
        QTest::mousePress(control(window, QStringLiteral("充值")), Qt::LeftButton);
        QCOMPARE(browser.urls.last().query(QUrl::FullyEncoded), QStringLiteral("payway=10&gname=xyj&gserver=s7"));

        // Back as the current tab, without a reload, into a box brought to
        // the front from the task bar.
        const int counted = ticks(page);
        m_window->showMinimized();
        QTRY_VERIFY(m_window->isMinimized());
        QTest::mousePress(control(window, QStringLiteral("窗口合并")), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        QTRY_VERIFY(!m_window->isMinimized() && m_window->isVisible());
        QCOMPARE(m_window->tabs()->currentWidget(), page.data());
        QCOMPARE(m_window->tabs()->tabText(2), QStringLiteral("西游降魔录 && 1服"));
        QVERIFY(ticks(page) >= counted);
        QCOMPARE(gameRequests(), 1);
        QVERIFY(page->findChild<QToolButton *>(QStringLiteral("detachButton"))->isVisibleTo(m_window));
        QTRY_VERIFY(page->webView()->isVisible() && page->webView()->height() > page->height() - 50);

        // And out again.
        page->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
        QCOMPARE(m_window->detachedGames()->windows().value(0)->page(), page.data());
        QCOMPARE(m_window->tabs()->count(), 2);
    }

    void topUpAddressesFromThePageAddress()
    {
        BrowserCatcher browser;
        const QString base = m_http.url(m_gamePath).toString();
        const QUrl home = m_http.url(QStringLiteral("/landers.html"));
        const QList<QPair<QString, QString>> cases{
            {base + QStringLiteral("?server=2&game=abc"), QStringLiteral("payway=10&gname=abc&gserver=2")},
            {base, QStringLiteral("payway=10&gname=&gserver=")},
            {base + QStringLiteral("?game=%E8%A5%BF%E6%B8%B8&server=双线1服&x=1"),
             QStringLiteral("payway=10&gname=%E8%A5%BF%E6%B8%B8&gserver=%E5%8F%8C%E7%BA%BF1%E6%9C%8D")},
        };
        for (const auto &game : cases) {
            auto *page = new GamePage(home, QStringLiteral("t"), GamePage::Kind::Game, testProfile());
            DetachedWindow window(page, QUrl(game.first));
            QTest::mousePress(control(&window, QStringLiteral("充值")), Qt::LeftButton);
            QCOMPARE(browser.urls.size(), 1);
            QCOMPARE(browser.urls.takeFirst().query(QUrl::FullyEncoded), game.second);
        }
    }

    void pinKeepsThePlaceAndComesUndone()
    {
        QPointer<DetachedWindow> window = detachGame(QStringLiteral("g"));
        QVERIFY(window);
        window->setGeometry(120, 90, 700, 500);
        const QRect place = window->geometry();
        QLabel *pin = control(window, QStringLiteral("未置顶"));
        QTest::mousePress(pin, Qt::LeftButton);
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(pin->accessibleName(), QStringLiteral("已置顶"));
        QTest::mousePress(pin, Qt::LeftButton);
        QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(pin->accessibleName(), QStringLiteral("未置顶"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->geometry(), place);

        QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(100, 16));
        QTRY_VERIFY(window->isMaximized());
        QTest::mousePress(control(window, QStringLiteral("最大化")), Qt::LeftButton);
        QTRY_VERIFY(!window->isMaximized());
    }

    void closeAsksAndFreesTheGame()
    {
        QPointer<DetachedWindow> window = detachGame(QStringLiteral("g"));
        QVERIFY(window);
        QPointer<GamePage> page = window->page();
        QPointer<WebView> view = page->webView();

        QSharedPointer<SeenMessageBox> asked = answerNextMessageBox(QStringLiteral("取消"));
        QTest::mousePress(control(window, QStringLiteral("关闭")), Qt::LeftButton);
        QVERIFY(asked->seen && asked->hasParent);
        QCOMPARE(asked->text, QStringLiteral("确定退出当前窗口吗?"));
        QVERIFY(window && window->isVisible());

        answerNextMessageBox(QString()); // the question's own close button
        window->close(); // as the desktop asks
        QVERIFY(window && window->isVisible());

        answerNextMessageBox(QStringLiteral("确定"));
        QTest::mousePress(control(window, QStringLiteral("关闭")), Qt::LeftButton);
        QTRY_VERIFY(window.isNull() && page.isNull() && view.isNull());
        QVERIFY(m_window->detachedGames()->windows().isEmpty());
    }

    void outlivesItsMainWindow()
    {
        QPointer<DetachedWindow> window = detachGame(QStringLiteral("g"));
        QVERIFY(window);
        GamePage *page = window->page();
        m_window->close();
        QTRY_VERIFY(m_window.isNull());

        // What needs the main window is dropped, out loud; the rest works.
        QTest::ignoreMessage(QtWarningMsg, "no main window for the page's 3 request; dropped");
        QTest::ignoreMessage(QtWarningMsg, "the main window is gone; the game stays in its own window");
        sendFromPage(page->webView(), 3, QStringLiteral("{title: 't', url: 'http://example.org/'}"));
        QTest::mousePress(control(window, QStringLiteral("窗口合并")), Qt::LeftButton);
        QVERIFY(window->isVisible() && window->page() == page);

        QTest::mousePress(control(window, QStringLiteral("未置顶")), Qt::LeftButton);
        QVERIFY(window->isPinned());
        QSignalSpy reloaded(page->webView(), &QWebEngineView::loadFinished);
        QTest::mousePress(control(window, QStringLiteral("刷新")), Qt::LeftButton);
        QVERIFY(reloaded.wait(10000));
        answerNextMessageBox(QStringLiteral("确定"));
        QTest::mousePress(control(window, QStringLiteral("关闭")), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
    }
};
KAVO_TEST(TestDetachedGames)

#include "tst_detachedgames.moc"
