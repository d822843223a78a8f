#include "app/config.h"
#include "core/endpoints.h"
#include "core/mainwdiget.h"
#include "core/tinteractobj.h"
#include "support/browsercatcher.h"
#include "support/httpfixture.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "web/pageweb.h"
#include "web/webview.h"
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QToolButton>
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

    void secretsNeverReachTheLog_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QStringList>("secrets");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("password") << R"({"name":"abc","password":"hunter2"})" << QStringList{"hunter2"}
                                  << QStringList{R"("name":"abc")"};
        QTest::newRow("check code and token") << R"({"ckcode":"c0ffee","access_token":"t0k","title":"x"})"
                                              << QStringList{"c0ffee", "t0k"} << QStringList{R"("title":"x")"};
        QTest::newRow("numbers and nesting")
            << R"({"user":{"ckcode":123456,"list":[{"Token":["a1","b2"]}]},"pass":{"x":"deep"}})"
            << QStringList{"123456", "a1", "b2", "deep"} << QStringList{R"("user":)"};
        QTest::newRow("plain keys") << R"({"title":"password reset","url":"x.test"})" << QStringList{}
                                    << QStringList{R"("title":"password reset")", R"("url":"x.test")"};
        QTest::newRow("query text") << "user=abc&password=hunter2&ckcode=c0ffee&x=1" << QStringList{"hunter2", "c0ffee"}
                                    << QStringList{"user=abc", "x=1"};
        QTest::newRow("not JSON") << "{pwd: 'hunter2', \"ckcode\" : \"s3 cr\\\"et\"" << QStringList{"hunter2", "s3 cr"}
                                  << QStringList{};
    }

    void secretsNeverReachTheLog()
    {
        QFETCH(QString, json);
        QFETCH(QStringList, secrets);
        QFETCH(QStringList, kept);
        const QString logged = bridgeJsonForLog(json);
        for (const QString &secret : secrets)
            QVERIFY2(!logged.contains(secret), qPrintable(logged));
        for (const QString &text : kept)
            QVERIFY2(logged.contains(text), qPrintable(logged));
        QCOMPARE(logged.contains(QStringLiteral("***")), !secrets.isEmpty());
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


namespace {
// The page's own bridge script sends the message; params is JavaScript (an
// object, or a string that goes as it stands).
void sendFromPage(WebView *view, int code, const QString &params)
{
    runJs(view->page(), QStringLiteral("kavoBridge.send(%1, 'test', %2)").arg(code).arg(params));
}

bool waitForLoad(WebView *view)
{
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    return loaded.wait(20000) && loaded.last().first().toBool();
}

QStringList visibleToolButtons(QWidget *pageWidget)
{
    QStringList names;
    const QList<QToolButton *> buttons = pageWidget->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->isVisibleTo(pageWidget))
            names.append(button->objectName());
    }
    return names;
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage();
}
} // namespace

class TestPageWeb : public QObject
{
    Q_OBJECT
private:
    TempDataDir m_data;
    PortalProcess m_portal;
    QPointer<MainWdiget> m_window;

    WebView *homeView() const { return m_window->homePage()->webView(); }

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        ensureHotkeyDefaults();
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
    }

    void init()
    {
        m_window = new MainWdiget(QStringLiteral("tester"));
        // Both fixed pages start loading at construction; a reload asked for
        // while the first load runs would only restart it.
        QSignalSpy homeLoaded(homeView(), &QWebEngineView::loadFinished);
        QSignalSpy searchLoaded(m_window->searchPage()->webView(), &QWebEngineView::loadFinished);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QTRY_VERIFY_WITH_TIMEOUT(!homeLoaded.isEmpty() && !searchLoaded.isEmpty(), 30000);
        QVERIFY(homeLoaded.first().first().toBool() && searchLoaded.first().first().toBool());
    }

    void cleanup()
    {
        delete m_window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void toolbarsOfFixedAndGameTabs()
    {
        const QStringList all{QStringLiteral("xiaohaoButton"), QStringLiteral("clearButton"),
                              QStringLiteral("giftButton"),    QStringLiteral("detachButton"),
                              QStringLiteral("muteButton"),    QStringLiteral("clockButton"),
                              QStringLiteral("reloadButton"),  QStringLiteral("signInButton"),
                              QStringLiteral("kefuButton"),    QStringLiteral("payButton"),
                              QStringLiteral("bossButton")};
        QStringList fixed = all;
        fixed.removeAll(QStringLiteral("detachButton"));
        fixed.removeAll(QStringLiteral("muteButton"));
        for (int index : {0, 1}) {
            QStringList shown = visibleToolButtons(m_window->tabWidget()->widget(index));
            shown.sort();
            QStringList expected = fixed;
            expected.sort();
            QCOMPARE(shown, expected);
        }

        m_window->createTab(QStringLiteral("游戏"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        QWidget *game = m_window->tabWidget()->widget(2);
        QStringList shown = visibleToolButtons(game);
        shown.sort();
        QStringList expected = all;
        expected.sort();
        QCOMPARE(shown, expected);

        // Icon-only buttons are named for screen readers after their tool tips.
        for (const QString &name : {QStringLiteral("reloadButton"), QStringLiteral("bossButton")}) {
            auto *button = game->findChild<QToolButton *>(name);
            QVERIFY(!button->toolTip().isEmpty());
            QCOMPARE(button->accessibleName(), button->toolTip());
        }
        QCOMPARE(game->findChild<QToolButton *>(QStringLiteral("muteButton"))->text(), QStringLiteral("静音"));
    }

    void pageMessagesOpenTabsAndTheBrowser()
    {
        BrowserCatcher browser;
        QTabWidget *tabs = m_window->tabWidget();
        const QString gameUrl = m_portal.url(QStringLiteral("/game/xyj.html")).toString();

        // 3: a tab with the page's title and address, made current.
        sendFromPage(homeView(), 3, QStringLiteral("{title: '西游降魔录', url: %1}").arg(jsString(gameUrl)));
        QTRY_COMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(tabs->tabText(2), QStringLiteral("西游降魔录"));
        PageWeb *game = pageWebOf(tabs->widget(2));
        QVERIFY(game);
        QCOMPARE(game->pageUrl(), gameUrl);
        QTRY_COMPARE_WITH_TIMEOUT(game->webView()->url().toString(), gameUrl, 10000);
        QVERIFY(!m_window->maximizedFlag());

        // 16: to the search tab.
        sendFromPage(homeView(), 16, QStringLiteral("null"));
        QTRY_COMPARE(tabs->currentIndex(), 1);

        // 888: the system browser, but only for web addresses.
        QTest::ignoreMessage(QtWarningMsg,
                             "page asked to open a non-web address in the browser; ignored: file:///etc/passwd");
        sendFromPage(homeView(), 888, QStringLiteral("{url: 'file:///etc/passwd'}"));
        sendFromPage(homeView(), 888, QStringLiteral("{url: %1}").arg(jsString(gameUrl + QStringLiteral("?a=1"))));
        QTRY_COMPARE(browser.urls.size(), 1);
        QCOMPARE(browser.urls.first(), QUrl(gameUrl + QStringLiteral("?a=1")));

        // Nothing opens for parameters that are not one JSON object, nor for
        // a tab on a non-web address.
        QTest::ignoreMessage(QtWarningMsg, "page message 3 ignored: its parameters are not a JSON object");
        QTest::ignoreMessage(QtWarningMsg, "page message 10 ignored: its parameters are not a JSON object");
        QTest::ignoreMessage(QtWarningMsg, "page asked for a tab on a non-web address; ignored: javascript:alert(1)");
        sendFromPage(homeView(), 3, QStringLiteral("JSON.stringify([{title: 'a', url: %1}])").arg(jsString(gameUrl)));
        sendFromPage(homeView(), 10, QStringLiteral("'not json'"));
        sendFromPage(homeView(), 3, QStringLiteral("{title: 'x', url: 'javascript:alert(1)'}"));
        QSignalSpy received(m_window->homePage()->bridgeObject(), &TInteractObj::SigReceivedMessFromJS);
        // Reminders only reach the log for now.
        QTest::ignoreMessage(QtInfoMsg, "reminder requested for 西游降魔录 双线1服 at 1767225600");
        sendFromPage(homeView(), 100, QStringLiteral("{game: '西游降魔录', server: '双线1服', time: '1767225600'}"));
        sendFromPage(homeView(), 4242, QStringLiteral("null")); // unknown codes do nothing
        QTRY_COMPARE(received.count(), 2);
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(browser.urls.size(), 1);
        QVERIFY(!m_window->maximizedFlag());

        // 10: entering a game from a real click also maximises the box.
        runJs(homeView()->page(),
              QStringLiteral("document.querySelector('.game-card[data-tag=\"xyj\"] .btn-primary').scrollIntoView()"));
        QVERIFY(clickElement(homeView(), QStringLiteral(".game-card[data-tag=\"xyj\"] .btn-primary")));
        QTRY_COMPARE(tabs->count(), 4);
        QCOMPARE(tabs->currentIndex(), 3);
        QVERIFY(tabs->tabText(3).startsWith(QStringLiteral("西游降魔录")));
        QVERIFY(pageWebOf(tabs->widget(3))->pageUrl().contains(QStringLiteral("/entergame.php?game=xyj&server=")));
        QVERIFY(m_window->maximizedFlag());
        QTRY_VERIFY(m_window->windowState() & Qt::WindowMaximized);
    }

    void closingATabFreesItsPage()
    {
        m_window->createTab(QStringLiteral("a"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        m_window->createTab(QStringLiteral("b"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        QTabWidget *tabs = m_window->tabWidget();
        QCOMPARE(tabs->currentIndex(), 3);
        QVERIFY(tabs->tabBar()->tabButton(2, QTabBar::RightSide));
        QVERIFY(!tabs->tabBar()->tabButton(0, QTabBar::RightSide) && !tabs->tabBar()->tabButton(0, QTabBar::LeftSide));

        QPointer<QWidget> widget = tabs->widget(2);
        QPointer<PageWeb> page = pageWebOf(widget);
        QPointer<WebView> view = page->webView();
        QPointer<TInteractObj> bridge = page->bridgeObject();
        QVERIFY(waitForLoad(view));
        m_window->closeTab(2);
        QCOMPARE(tabs->count(), 3);
        QTRY_VERIFY(widget.isNull() && page.isNull() && view.isNull() && bridge.isNull());

        // The fixed tabs stay.
        QTest::ignoreMessage(QtWarningMsg, "tab 0 is a fixed tab and stays open");
        m_window->closeTab(0);
        QCOMPARE(tabs->count(), 3);
        m_window->closeTab(7); // no such tab
        QCOMPARE(tabs->count(), 3);
    }

    void aReusedViewBringsItsBridgeAlong()
    {
        m_window->createTab(QStringLiteral("a"), m_portal.url(QStringLiteral("/landers.html")).toString());
        QPointer<PageWeb> first = pageWebOf(m_window->tabWidget()->widget(2));
        QPointer<WebView> view = first->webView();
        QVERIFY(waitForLoad(view));
        TInteractObj *bridge = first->bridgeObject();

        // The same view shown by a second tab: its messages now reach that tab's page.
        m_window->createTab(QStringLiteral("b"), QString(), view);
        PageWeb *second = pageWebOf(m_window->tabWidget()->widget(3));
        QCOMPARE(second->webView(), view.data());
        QCOMPARE(second->bridgeObject(), bridge);
        QVERIFY(!first->webView());
        sendFromPage(view, 16, QStringLiteral("null"));
        QTRY_COMPARE(m_window->currentTabIndex(), 1);

        // Freeing the first tab leaves the view and its bridge working.
        m_window->closeTab(2);
        QTRY_VERIFY(first.isNull());
        QVERIFY(view);
        m_window->tabWidget()->setCurrentIndex(2);
        const QString gameUrl = m_portal.url(QStringLiteral("/game/xyj.html")).toString();
        sendFromPage(view, 3, QStringLiteral("{title: 'c', url: %1}").arg(jsString(gameUrl)));
        QTRY_COMPARE(m_window->tabWidget()->count(), 4);
        QCOMPARE(m_window->tabWidget()->tabText(3), QStringLiteral("c"));
    }

    void toolbarActsOnItsOwnView()
    {
        BrowserCatcher browser;
        WebView *search = m_window->searchPage()->webView();
        QVERIFY(search != homeView());
        QSignalSpy homeLoads(homeView(), &QWebEngineView::loadStarted);
        QSignalSpy searchLoads(search, &QWebEngineView::loadStarted);
        m_window->tabWidget()->widget(0)->findChild<QToolButton *>(QStringLiteral("reloadButton"))->click();
        QTRY_COMPARE(homeLoads.count(), 1);
        QCOMPARE(searchLoads.count(), 0);

        // The first look at "找游戏" reloads it, later ones do not.
        m_window->tabWidget()->setCurrentIndex(1);
        QTRY_COMPARE(searchLoads.count(), 1);
        m_window->tabWidget()->setCurrentIndex(0);
        m_window->tabWidget()->setCurrentIndex(1);
        QTest::qWait(300);
        QCOMPARE(searchLoads.count(), 1);

        QWidget *toolbar = m_window->tabWidget()->widget(1);
        for (const QString &name : {QStringLiteral("giftButton"), QStringLiteral("kefuButton"), QStringLiteral("payButton")})
            toolbar->findChild<QToolButton *>(name)->click();
        QCOMPARE(browser.urls, (QList<QUrl>{Endpoints::url(Endpoints::Address::Gift),
                                            Endpoints::url(Endpoints::Address::CustomerService),
                                            Endpoints::url(Endpoints::Address::PayHome)}));
    }

    void muteTogglesThePageAndTheIcon()
    {
        m_window->createTab(QStringLiteral("a"), m_portal.url(QStringLiteral("/game/xyj.html")).toString());
        PageWeb *game = pageWebOf(m_window->tabWidget()->widget(2));
        QToolButton *mute = game->muteButton();
        const QImage horn = iconImage(QIcon(QStringLiteral(":/img/horn")));
        const QImage muted = iconImage(QIcon(QStringLiteral(":/img/mute")));
        QVERIFY(horn != muted);
        QCOMPARE(iconImage(mute->icon()), horn);

        mute->click();
        QVERIFY(game->webView()->page()->isAudioMuted());
        QCOMPARE(iconImage(mute->icon()), muted);
        QVERIFY(!homeView()->page()->isAudioMuted());
        mute->click();
        QVERIFY(!game->webView()->page()->isAudioMuted());
        QCOMPARE(iconImage(mute->icon()), horn);
        QCOMPARE(mute->text(), QStringLiteral("静音"));
    }

    void cookiesAreLoggedWithoutTheirValues()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Cookie Added--> \\S* kavo_session$")));
        runJs(homeView()->page(), QStringLiteral("document.cookie = 'kavo_session=s3cr3t-value; path=/'"));
        QTest::qWait(500);
    }

    void failedGameLoadsBackOff()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString url = QStringLiteral("http://127.0.0.1:%1/game").arg(closed.serverPort());
        closed.close();

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
            QStringLiteral("^page failed to load: http://127.0.0.1:\\d+/game - retrying in 1 s$")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
            QStringLiteral("^page failed to load: http://127.0.0.1:\\d+/game - retrying in 2 s$")));
        m_window->createTab(QStringLiteral("down"), url);
        auto *retry = pageWebOf(m_window->tabWidget()->widget(2))->webView()->findChild<LoadRetry *>();
        QVERIFY(retry);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QTRY_COMPARE_WITH_TIMEOUT(scheduled.count(), 2, 10000);
        QCOMPARE(scheduled.at(1).first().toInt(), 2000);
    }
};

int main(int argc, char **argv)
{
    return runTests<TestBridge, TestWebView, TestLoadRetry, TestPageWeb>(argc, argv);
}

#include "tst_web.moc"
