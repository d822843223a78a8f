#include "box/mainwindow.h"
#include "box/tabwidget.h"
#include "core/endpoints.h"
#include "support/boxfixture.h"
#include "support/browsercatcher.h"
#include "support/httpfixture.h"
#include "support/lookup.h"
#include "web/bridgeobject.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/cachedialog.h"
#include "web/loadretry.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTabBar>
#include <QToolButton>

namespace {
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

// Collects the client's warnings while it lives instead of failing on them:
// a flood's are too many to declare one by one, so the test reads them.
struct WarningCollector {
    static inline QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type == QtWarningMsg && context.category && qstrncmp(context.category, "kavo.", 5) == 0)
            warnings.append(text);
    });
    WarningCollector() { warnings.clear(); }
    ~WarningCollector() { qInstallMessageHandler(previous); }
};

// 10 000 messages of codes the client knows and codes it does not, with
// addresses of every scheme, megabyte strings, deep nesting, broken JSON and
// lone surrogates; the same sequence every run.
const char kFlood[] = R"(
(function (gameUrl) {
  let seed = 7;
  const pick = n => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
  const codes = [3, 10, 16, 100, 888, 1, 2, 12, 90, 4242, -1, 2147483647];
  const urls = [gameUrl, 'file:///etc/passwd', 'javascript:alert(1)', 'data:text/html,<b>x</b>',
                'kavo://open', 'about:blank', 'ftp://127.0.0.1/x', gameUrl + '#pay', ''];
  const big = 'x'.repeat(1 << 20);
  for (let i = 0; i < 10000; ++i) {
    let json;
    switch (pick(6)) {
    case 0: json = JSON.stringify({title: 't' + i, url: urls[pick(urls.length)], game: 'g', time: pick(2) ? 1767225600 : 'x'}); break;
    case 1: json = JSON.stringify({url: urls[pick(urls.length)], pad: i % 500 ? 'p' : big}); break;
    case 2: { const depth = pick(3000); json = '{"a":'.repeat(depth) + '1' + '}'.repeat(depth); break; }
    case 3: json = String.fromCharCode(...Array.from({length: pick(200)}, () => pick(65536))); break;
    case 4: json = '{"url":"' + urls[pick(urls.length)] + '","url":[1]}'; break;
    default: json = JSON.stringify([{url: urls[pick(urls.length)]}]); break;
    }
    kavoBridge.send(codes[pick(codes.length)], 's', json);
  }
})(%1)
)";
} // namespace

class TestGamePage : public TestCase
{
    Q_OBJECT
private:
    BoxFixture m_box;
    QPointer<MainWindow> m_window;

    QUrl gameUrl() const { return m_box.portal.url(QStringLiteral("/game/xyj.html")); }

    GamePage *page(int index) const { return m_window->tabs()->page(index); }
    WebView *homeView() const { return page(0)->webView(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_box.startPortal());
    }

    void init()
    {
        m_window = m_box.openWindow(false);
        // Both fixed pages start loading at construction; a reload asked for
        // while the first load runs would only restart it.
        QSignalSpy homeLoaded(homeView(), &QWebEngineView::loadFinished);
        QSignalSpy searchLoaded(page(1)->webView(), &QWebEngineView::loadFinished);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QTRY_VERIFY_WITH_TIMEOUT(!homeLoaded.isEmpty() && !searchLoaded.isEmpty(), 30000);
        QVERIFY(homeLoaded.first().first().toBool() && searchLoaded.first().first().toBool());
    }

    void cleanup()
    {
        m_box.closeWindows();
    }

    void fixedTabsCannotBeDetachedOrMuted()
    {
        m_window->openGame(QStringLiteral("游戏"), gameUrl());
        for (int index : {0, 1, 2}) {
            QStringList shown = visibleToolButtons(page(index));
            QCOMPARE(shown.size(), index < 2 ? 9 : 11);
            QCOMPARE(shown.contains(QStringLiteral("detachButton")), index == 2);
            QCOMPARE(shown.contains(QStringLiteral("muteButton")), index == 2);
        }
    }

    void pageMessagesOpenTabsAndTheBrowser()
    {
        BrowserCatcher browser;
        TabWidget *tabs = m_window->tabs();
        const QString gameUrl = this->gameUrl().toString();

        // 3: a tab with the page's title and address, made current.
        sendFromPage(homeView(), 3, QStringLiteral("{title: '西游降魔录', url: %1}").arg(jsString(gameUrl)));
        QTRY_COMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(tabs->tabText(2), QStringLiteral("西游降魔录"));
        GamePage *game = page(2);
        QVERIFY(game);
        QCOMPARE(game->address(), QUrl(gameUrl));
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
        QSignalSpy received(page(0)->bridgeObject(), &BridgeObject::messageReceived);
        sendFromPage(homeView(), 4242, QStringLiteral("null")); // unknown codes do nothing
        QTRY_COMPARE(received.count(), 1);
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
        QVERIFY(page(3)->address().toString().contains(QStringLiteral("/entergame.php?game=xyj&server=")));
        QVERIFY(m_window->maximizedFlag());
        QTRY_VERIFY(m_window->windowState() & Qt::WindowMaximized);
    }

    void aFloodingPageOpensLittleAndNothingElse()
    {
        BrowserCatcher browser;
        TabWidget *tabs = m_window->tabs();
        const QString gameUrl = this->gameUrl().toString();
        QSignalSpy received(page(0)->bridgeObject(), &BridgeObject::messageReceived);
        QSignalSpy reminders(page(0), &GamePage::reminderRequested);
        QElapsedTimer elapsed;
        {
            WarningCollector collector;
            elapsed.start();
            runJs(homeView()->page(), QString::fromLatin1(kFlood).arg(jsString(gameUrl)));
            QTRY_COMPARE_WITH_TIMEOUT(received.count(), 10000, 120000);
        }
        const qint64 seconds = elapsed.elapsed() / 1000 + 1;

        // Within the limit, and only web addresses got anywhere.
        const int opened = tabs->count() - 2 + browser.urls.size() + reminders.count();
        QVERIFY2(opened >= 1 && opened <= 5 * seconds, qPrintable(QString::number(opened)));
        for (const QUrl &url : browser.urls)
            QVERIFY2(Endpoints::isWebAddress(url), qPrintable(url.toString()));
        for (int i = 2; i < tabs->count(); ++i)
            QVERIFY2(page(i)->address().toString().startsWith(gameUrl) || page(i)->address().isEmpty(),
                     qPrintable(page(i)->address().toString()));

        // Every warning says what was refused or dropped.
        const QRegularExpression known(QStringLiteral(
            "^(page message -?\\d+ ignored: its parameters are not a JSON object"
            "|page asked for a tab on a non-web address; ignored: .*"
            "|page asked to open a non-web address in the browser; ignored: .*"
            "|page asked for more than 5 tabs, windows or browser addresses within a second; dropped: .*"
            "|reminder request without a time in whole seconds; proposing none"
            "|login message without a JSON object; staying on the login page)$"),
            QRegularExpression::DotMatchesEverythingOption);
        for (const QString &warning : WarningCollector::warnings)
            QVERIFY2(known.match(warning).hasMatch(), qPrintable(warning.left(300)));
        QVERIFY(WarningCollector::warnings.size() < 10000);
        QVERIFY(m_window->isVisible());
    }

    void closingATabFreesItsPage()
    {
        m_window->openGame(QStringLiteral("a"), gameUrl());
        m_window->openGame(QStringLiteral("b"), gameUrl());
        QTabBar *bar = m_window->tabs()->tabBar();
        QCOMPARE(bar->currentIndex(), 3);
        QVERIFY(!bar->tabButton(0, QTabBar::RightSide) && !bar->tabButton(0, QTabBar::LeftSide));

        QPointer<GamePage> closed = page(2);
        QPointer<WebView> view = closed->webView();
        QPointer<BridgeObject> bridge = closed->bridgeObject();
        QVERIFY(waitForLoad(view));
        auto *closeButton = qobject_cast<QAbstractButton *>(bar->tabButton(2, QTabBar::RightSide));
        QVERIFY(closeButton);
        closeButton->click(); // what the user does
        QCOMPARE(bar->count(), 3);
        QCOMPARE(bar->tabText(2), QStringLiteral("b"));
        QTRY_VERIFY(closed.isNull() && view.isNull() && bridge.isNull());

        QTest::ignoreMessage(QtWarningMsg, "tab 0 is a fixed tab and stays open");
        QVERIFY(!m_window->tabs()->closeTab(0));
        QCOMPARE(bar->count(), 3);
    }

    void toolbarActsOnItsOwnView()
    {
        BrowserCatcher browser;
        WebView *search = page(1)->webView();
        QVERIFY(search != homeView());
        QSignalSpy homeLoads(homeView(), &QWebEngineView::loadStarted);
        QSignalSpy searchLoads(search, &QWebEngineView::loadStarted);
        m_window->tabs()->widget(0)->findChild<QToolButton *>(QStringLiteral("reloadButton"))->click();
        QTRY_COMPARE(homeLoads.count(), 1);
        QCOMPARE(searchLoads.count(), 0);

        // The first look at "找游戏" reloads it, later ones do not.
        m_window->tabs()->setCurrentIndex(1);
        QTRY_COMPARE(searchLoads.count(), 1);
        m_window->tabs()->setCurrentIndex(0);
        m_window->tabs()->setCurrentIndex(1);
        QTest::qWait(300);
        QCOMPARE(searchLoads.count(), 1);

        // "清理": a dialog of its own each time, measured afresh.
        for (int press = 0; press < 2; ++press)
            page(0)->findChild<QToolButton *>(QStringLiteral("clearButton"))->click();
        QCOMPARE(topLevels<CacheDialog>().size(), 2);
        for (CacheDialog *dialog : topLevels<CacheDialog>())
            dialog->close();

        QWidget *toolbar = m_window->tabs()->widget(1);
        for (const QString &name : {QStringLiteral("giftButton"), QStringLiteral("kefuButton"), QStringLiteral("payButton")})
            toolbar->findChild<QToolButton *>(name)->click();
        QCOMPARE(browser.urls, (QList<QUrl>{Endpoints::url(Endpoints::Address::Gift),
                                            Endpoints::url(Endpoints::Address::CustomerService),
                                            Endpoints::url(Endpoints::Address::PayHome)}));
    }

    void muteTogglesThePageAndTheIcon()
    {
        GamePage *game = m_window->openGame(QStringLiteral("a"), gameUrl());
        auto *mute = game->findChild<QToolButton *>(QStringLiteral("muteButton"));
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
    }

    void failedGameLoadsBackOff()
    {
        const QUrl url(QStringLiteral("http://%1/game").arg(unusedHostPort()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(
            QStringLiteral("^page failed to load: http://127.0.0.1:\\d+/game - retrying after 1 s$")));
        m_window->openGame(QStringLiteral("down"), url);
        auto *retry = page(2)->webView()->findChild<LoadRetry *>();
        QVERIFY(retry);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QTRY_COMPARE_WITH_TIMEOUT(scheduled.count(), 2, 10000);
        QCOMPARE(scheduled.at(1).first().toInt(), 2000);
    }
};
KAVO_TEST(TestGamePage)

#include "tst_gamepage.moc"
