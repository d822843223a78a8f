#include "core/config.h"
#include "app/client.h"
#include "core/endpoints.h"
#include "loginpage.h"
#include "support/browsercatcher.h"
#include "support/desktopsession.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/lookup.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/pagedragstrip.h"
#include "widgets/loadingdialog.h"
#include <QDialog>
#include <QWebEngineProfile>

class TestLoginWindow : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    Config m_config;
    PortalProcess m_portal;
    BrowserCatcher m_browser;

private slots:
    void initTestCase()
    {
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
    }

    void cleanup() { deleteTopLevels<LoginWindow>(); }

    void typingLogsInWithoutAClick()
    {
        QPointer<LoginWindow> login = new LoginWindow(&m_config, testProfile(), true);
        QSignalSpy succeeded(login, &LoginWindow::loginSucceeded);
        login->show();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^QDebug_login 17 ")));
        QVERIFY(waitForLoginPage(login));
        QCOMPARE(login->webView()->url(), Endpoints::url(Endpoints::Address::LoginPage));
        QVERIFY(!login->loadingDialog()->isVisible()); // automatic login is off
        // The keys go wherever the window's focus is: it must be the page.
        QTRY_VERIFY(login->isActiveWindow());
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus && login->webView()->isAncestorOf(focus));

        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: demo");
        QTest::keyClicks(focus, QStringLiteral("demo"));
        QTest::keyClick(focus, Qt::Key_Tab);
        QTest::keyClicks(focus, QStringLiteral("demo123"));
        QTest::keyClick(focus, Qt::Key_Return);
        QVERIFY(succeeded.wait(10000));
        QCOMPARE(succeeded.first().first().toString(), QStringLiteral("demo"));
    }

    void pageCodesDriveTheWindow()
    {
        QPointer<LoginWindow> login = new LoginWindow(&m_config, testProfile(), true);
        QSignalSpy succeeded(login, &LoginWindow::loginSucceeded);
        login->show();
        QVERIFY(waitForLoginPage(login));
        QSignalSpy received(bridgeOf(login->webView()), &BridgeObject::messageReceived);

        // Registration and password reset go to the system browser.
        sendFromPage(login->webView(), 12, QStringLiteral("null"));
        sendFromPage(login->webView(), 15, QStringLiteral("null"));
        QTRY_COMPARE(m_browser.urls, (QList<QUrl>{Endpoints::url(Endpoints::Address::Registration),
                                                  Endpoints::url(Endpoints::Address::PasswordReset)}));
        QCOMPARE(m_browser.urls.at(0).query(), QStringLiteral("pyx_url=Kavobox_v2"));
        m_browser.urls.clear();

        // Codes without an action only reach the log, secrets masked.
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^QDebug_login 17 test")));
        QTest::ignoreMessage(QtDebugMsg, R"(QDebug_login 4242 test {"ckcode":"***","name":"x"})");
        sendFromPage(login->webView(), 17, QStringLiteral("null"));
        sendFromPage(login->webView(), 4242, QStringLiteral("{name: 'x', ckcode: 'c0ffee'}"));
        QVERIFY(!nextMessage(received, 4242).isEmpty());
        QVERIFY(login->isVisible() && !login->isMinimized());
        QVERIFY(!login->qqDialog() && !login->wxDialog() && m_browser.urls.isEmpty());

        sendFromPage(login->webView(), 3, QStringLiteral("null"));
        QTRY_VERIFY(login->isMinimized());
        login->showNormal();

        // A success message is believed only with a JSON object.
        for (int i = 0; i < 2; ++i)
            QTest::ignoreMessage(QtWarningMsg, "login message without a JSON object; staying on the login page");
        sendFromPage(login->webView(), 2, QStringLiteral("'not json'"));
        sendFromPage(login->webView(), 2, QStringLiteral("'[{\"name\":\"abc\"}]'"));
        QTRY_COMPARE(received.count(), 7);
        QCOMPARE(succeeded.count(), 0);

        // Success is reported once, with the name; the window's owner takes it from there.
        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: 玩家 a&b");
        sendFromPage(login->webView(), 2, QStringLiteral("{name: '玩家 a&b'}"));
        sendFromPage(login->webView(), 2, QStringLiteral("{name: 'again'}"));
        QTRY_COMPARE(received.count(), 9);
        QCOMPARE(succeeded.count(), 1);
        QCOMPARE(succeeded.at(0).at(0).toString(), QStringLiteral("玩家 a&b"));

        sendFromPage(login->webView(), 1, QStringLiteral("null"));
        QTRY_VERIFY(login.isNull());
    }

    // With a window manager at hand (when the client started), it moves the
    // window; bare Xvfb has none, so here the strip drags the window itself.
    void theTopStripDragsTheWindowAndItsButtonsStillWork()
    {
        QPointer<LoginWindow> login = new LoginWindow(&m_config, testProfile(), false);
        login->show();
        QVERIFY(QTest::qWaitForWindowExposed(login));
        QVERIFY(waitForLoginPage(login));
        const auto xdotool = [](const QStringList &arguments) { DesktopSession::xdotool(arguments); };
        const auto to = [](QPoint onScreen) {
            return QStringList{QStringLiteral("mousemove"), QString::number(onScreen.x()), QString::number(onScreen.y())};
        };
        // A user's drag, by the title the page draws in its blue bar.
        QSignalSpy started(login->webView()->findChild<PageDragStrip *>(), &PageDragStrip::moveStarted);
        const QPoint before = login->pos();
        const QPoint grab = login->mapToGlobal(QPoint(60, 20));
        xdotool(to(grab) << QStringLiteral("mousedown") << QStringLiteral("1"));
        QVERIFY(started.wait());
        for (int step = 1; step <= 5; ++step)
            xdotool(to(grab + step * QPoint(30, 20)));
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
        QTRY_COMPARE(login->pos(), before + QPoint(150, 100));

        // The page's own "–" in that bar still takes its click, and moves nothing.
        xdotool(to(login->mapToGlobal(QPoint(260, 20))) << QStringLiteral("click") << QStringLiteral("1"));
        QTRY_VERIFY(login->isMinimized());
        QCOMPARE(started.count(), 1);
    }

    void socialDialogsShowTheirPagesAndLogIn()
    {
        Client client(testProfile());
        client.start();
        QPointer<LoginWindow> login = client.loginWindow();
        QSignalSpy succeeded(login, &LoginWindow::loginSucceeded);
        QVERIFY(waitForLoginPage(login));

        sendFromPage(login->webView(), 91, QStringLiteral("null"));
        QTRY_VERIFY(login->qqDialog());
        QPointer<QDialog> firstQq = login->qqDialog();
        QVERIFY(firstQq->isVisible());
        auto *qqView = firstQq->findChild<WebView *>();
        QCOMPARE(qqView->page()->profile()->httpCacheType(), QWebEngineProfile::NoCache);
        QTRY_COMPARE_WITH_TIMEOUT(qqView->url(), Endpoints::url(Endpoints::Address::QqLogin), 10000);

        sendFromPage(login->webView(), 90, QStringLiteral("null"));
        QTRY_VERIFY(login->wxDialog());
        QPointer<QDialog> wx = login->wxDialog();
        QTRY_COMPARE_WITH_TIMEOUT(wx->findChild<WebView *>()->url(), Endpoints::url(Endpoints::Address::WeChatLogin),
                                  10000);

        // Asking again makes a fresh dialog; the first one stays open.
        sendFromPage(login->webView(), 91, QStringLiteral("null"));
        QTRY_VERIFY(login->qqDialog() && login->qqDialog() != firstQq);
        QPointer<QDialog> secondQq = login->qqDialog();
        QVERIFY(firstQq && firstQq->isVisible());

        // Authorising in the newest dialog logs in through that dialog's bridge.
        auto *view = secondQq->findChild<WebView *>();
        QVERIFY(waitForLoad(view));
        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: QQ玩家");
        // No waiting for the script's result: the click closes the dialog
        // that holds this view, and the result with it.
        view->page()->runJavaScript(QStringLiteral("document.getElementById('btn-authorize').click()"));
        QVERIFY(succeeded.wait(10000));
        QCOMPARE(succeeded.at(0).at(0).toString(), QStringLiteral("QQ玩家"));
        QTRY_VERIFY(firstQq.isNull() && secondQq.isNull() && wx.isNull() && login.isNull());
        QVERIFY(client.mainWindow());
    }
};
KAVO_TEST(TestLoginWindow)

#include "tst_loginwindow.moc"
