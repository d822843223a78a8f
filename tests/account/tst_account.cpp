#include "account/logindig.h"
#include "app/clientwindows.h"
#include "app/config.h"
#include "core/endpoints.h"
#include "core/mainwdiget.h"
#include "core/tinteractobj.h"
#include "support/browsercatcher.h"
#include "support/desktopsession.h"
#include "support/httpfixture.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "web/webview.h"
#include "widgets/loadingdialog.h"
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QProcess>
#include <QTcpServer>
#include <QWebEngineProfile>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
TInteractObj *bridgeOf(QWebEngineView *view)
{
    return view->findChild<TInteractObj *>();
}

// Has the page send a message through its own bridge. jsonExpression is
// JavaScript: an object, or a string sent as it stands.
void sendFromPage(QWebEngineView *view, int code, const QString &jsonExpression)
{
    runJs(view->page(), QStringLiteral("kavoBridge.send(%1, 'test', %2)").arg(code).arg(jsonExpression));
}

// Waits until the window's handler has seen a message with this code.
bool waitForCode(QSignalSpy &spy, int code, int msec = 10000)
{
    return QTest::qWaitFor([&] {
        for (const QList<QVariant> &message : qAsConst(spy)) {
            if (message.at(0).toInt() == code)
                return true;
        }
        return false;
    }, msec);
}

// The main windows open now, newest last.
QList<MainWdiget *> mainWindows()
{
    QList<MainWdiget *> found;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *mainWindow = qobject_cast<MainWdiget *>(window))
            found.append(mainWindow);
    }
    return found;
}

// What the main window asks the box content server for right after a login.
void serveBoxPages(HttpFixture &http)
{
    http.setBody(QStringLiteral("/landers.html"), "<title>home</title>home");
    http.setBody(QStringLiteral("/search.html"), "<title>search</title>search");
    http.setBody(QStringLiteral("/update/"), R"({"version_name":"v2.0.0","version_code":2,"force":0})",
                 "application/json");
}

bool waitForLoginPage(LoginDig *login)
{
    QSignalSpy loaded(login->webView(), &QWebEngineView::loadFinished);
    QSignalSpy received(bridgeOf(login->webView()), &TInteractObj::SigReceivedMessFromJS);
    return loaded.wait(20000) && loaded.last().first().toBool() && waitForCode(received, 17);
}
} // namespace

class TestLoginWindow : public QObject
{
    Q_OBJECT
private:
    TempDataDir m_data;
    PortalProcess m_portal;
    BrowserCatcher m_browser;

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
    }

    void cleanup() { deleteClientWindows(); }

    void showsTheTopLeftOfTheLoginPage()
    {
        auto *login = new LoginDig(true);
        login->show();
        QVERIFY(QTest::qWaitForWindowExposed(login));
        QCOMPARE(login->size(), QSize(320, 400));
        QVERIFY(login->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(login->windowTitle(), QStringLiteral("Kavo游戏盒子"));
        QCOMPARE(login->webView()->geometry(), QRect(0, 0, 640, 480));
        QVERIFY(!login->layout());

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^QDebug_login 17 ")));
        QVERIFY(waitForLoginPage(login));
        QCOMPARE(login->webView()->url(), Endpoints::url(Endpoints::Address::LoginPage));
        QVERIFY(login->isVisible());
        QVERIFY(!login->loadingDialog()->isVisible()); // automatic login is off
    }

    void typingLogsInWithoutAClick()
    {
        QPointer<LoginDig> login = new LoginDig(true);
        QSignalSpy succeeded(login, &LoginDig::loginSucceeded);
        login->show();
        QVERIFY(waitForLoginPage(login));
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
        QPointer<LoginDig> login = new LoginDig(true);
        QSignalSpy succeeded(login, &LoginDig::loginSucceeded);
        login->show();
        QVERIFY(waitForLoginPage(login));
        QSignalSpy received(bridgeOf(login->webView()), &TInteractObj::SigReceivedMessFromJS);

        // Registration and password reset go to the system browser.
        sendFromPage(login->webView(), 12, QStringLiteral("null"));
        QTRY_COMPARE(m_browser.urls.size(), 1);
        QCOMPARE(m_browser.urls.at(0), Endpoints::url(Endpoints::Address::Registration));
        QCOMPARE(m_browser.urls.at(0).query(), QStringLiteral("pyx_url=Kavobox_v2"));
        sendFromPage(login->webView(), 15, QStringLiteral("null"));
        QTRY_COMPARE(m_browser.urls.size(), 2);
        QCOMPARE(m_browser.urls.at(1), Endpoints::url(Endpoints::Address::PasswordReset));
        m_browser.urls.clear();

        // Codes without an action only reach the log, secrets masked.
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^QDebug_login 17 test")));
        QTest::ignoreMessage(QtDebugMsg, R"(QDebug_login 4242 test {"ckcode":"***","name":"x"})");
        sendFromPage(login->webView(), 17, QStringLiteral("null"));
        sendFromPage(login->webView(), 4242, QStringLiteral("{name: 'x', ckcode: 'c0ffee'}"));
        QVERIFY(waitForCode(received, 4242));
        QVERIFY(login->isVisible() && !login->isMinimized());
        QVERIFY(!login->qqDialog() && !login->wxDialog());
        QVERIFY(m_browser.urls.isEmpty());
        QCOMPARE(succeeded.count(), 0);

        sendFromPage(login->webView(), 3, QStringLiteral("null"));
        QTRY_VERIFY(login->isMinimized());
        login->showNormal();

        // A success message is believed only with a JSON object.
        QTest::ignoreMessage(QtWarningMsg, "login message without a JSON object; staying on the login page");
        QTest::ignoreMessage(QtWarningMsg, "login message without a JSON object; staying on the login page");
        sendFromPage(login->webView(), 2, QStringLiteral("'not json'"));
        sendFromPage(login->webView(), 2, QStringLiteral("'[{\"name\":\"abc\"}]'"));
        QTRY_COMPARE(received.count(), 7);
        QCOMPARE(succeeded.count(), 0);
        QVERIFY(login->isVisible() && mainWindows().isEmpty());

        // Success opens the box for that user, and the login window goes
        // with its page: its renderer has nothing more to do.
        QSignalSpy loginGone(login, &QObject::destroyed);
        QSignalSpy viewGone(login->webView(), &QObject::destroyed);
        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: 玩家 a&b");
        sendFromPage(login->webView(), 2, QStringLiteral("{name: '玩家 a&b'}"));
        QTRY_COMPARE(succeeded.count(), 1);
        QCOMPARE(succeeded.at(0).at(0).toString(), QStringLiteral("玩家 a&b"));
        QTRY_VERIFY(!loginGone.isEmpty() && !viewGone.isEmpty());
        QCOMPARE(mainWindows().size(), 1);
        QVERIFY(mainWindows().first()->isVisible());
        QCOMPARE(mainWindows().first()->userName(), QStringLiteral("玩家 a&b"));
    }

    void closeCodeEndsTheLoginWindow()
    {
        QPointer<LoginDig> login = new LoginDig(true);
        login->show();
        QVERIFY(waitForLoginPage(login));
        sendFromPage(login->webView(), 1, QStringLiteral("null"));
        QTRY_VERIFY(login.isNull());
    }

    void socialDialogsShowTheirPagesAndLogIn()
    {
        QPointer<LoginDig> login = new LoginDig(true);
        QSignalSpy succeeded(login, &LoginDig::loginSucceeded);
        login->show();
        QVERIFY(waitForLoginPage(login));

        sendFromPage(login->webView(), 91, QStringLiteral("null"));
        QTRY_VERIFY(login->qqDialog());
        QPointer<QDialog> firstQq = login->qqDialog();
        QCOMPARE(firstQq->windowTitle(), QStringLiteral("QQ登录"));
        QVERIFY(!firstQq->windowIcon().isNull());
        QVERIFY(firstQq->isVisible());
        QCOMPARE(firstQq->minimumSize(), firstQq->maximumSize()); // laid out for one size only
        auto *qqView = firstQq->findChild<WebView *>();
        QVERIFY(qqView);
        QCOMPARE(qqView->page()->profile()->httpCacheType(), QWebEngineProfile::NoCache);
        QTRY_COMPARE_WITH_TIMEOUT(qqView->url(), Endpoints::url(Endpoints::Address::QqLogin), 10000);

        sendFromPage(login->webView(), 90, QStringLiteral("null"));
        QTRY_VERIFY(login->wxDialog());
        QPointer<QDialog> wx = login->wxDialog();
        QCOMPARE(wx->windowTitle(), QStringLiteral("微信登录"));
        QTRY_COMPARE_WITH_TIMEOUT(wx->findChild<WebView *>()->url(), Endpoints::url(Endpoints::Address::WeChatLogin),
                                  10000);

        // Asking again makes a fresh dialog; the first one stays open.
        sendFromPage(login->webView(), 91, QStringLiteral("null"));
        QTRY_VERIFY(login->qqDialog() && login->qqDialog() != firstQq);
        QPointer<QDialog> secondQq = login->qqDialog();
        QVERIFY(firstQq && firstQq->isVisible());

        // Authorising in the newest dialog logs in through that dialog's bridge.
        auto *view = secondQq->findChild<WebView *>();
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        QVERIFY(loaded.wait(20000));
        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: QQ玩家");
        // No waiting for the script's result: the click closes the dialog
        // that holds this view, and the result with it.
        view->page()->runJavaScript(QStringLiteral("document.getElementById('btn-authorize').click()"));
        QVERIFY(succeeded.wait(10000));
        QCOMPARE(succeeded.at(0).at(0).toString(), QStringLiteral("QQ玩家"));
        QTRY_VERIFY(firstQq.isNull() && secondQq.isNull() && wx.isNull() && login.isNull());
    }
};

class TestAutoLogin : public QObject
{
    Q_OBJECT
private:
    TempDataDir m_data;
    HttpFixture m_http;

    static bool waitForLoad(LoginDig *login)
    {
        QSignalSpy loaded(login->webView(), &QWebEngineView::loadFinished);
        return loaded.wait(20000) && loaded.first().first().toBool();
    }

private slots:
    void initTestCase()
    {
        isolateDefaultProfile();
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/echo-login.html")));
        serveBoxPages(m_http);
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        Endpoints::setHost(Endpoints::Role::Content, m_http.hostPort());
        Config().SetValue(QStringLiteral("sys"), QStringLiteral("autoLogin"), true);
    }

    void cleanup() { deleteClientWindows(); }

    void hidesAsksOncePerTickAndComesBackAfterTheTimeout()
    {
        QElapsedTimer sinceCreation;
        sinceCreation.start();
        QPointer<LoginDig> login = new LoginDig(true);
        login->show();
        QVERIFY(waitForLoad(login));
        QTRY_VERIFY(login->loadingDialog()->isVisible());
        QCOMPARE(login->loadingDialog()->tips(), QStringLiteral("自动登录中，请稍等"));
        QVERIFY(login->isHidden());

        // Later loads must not multiply the requests.
        for (int i = 0; i < 2; ++i) {
            login->webView()->reload();
            QVERIFY(waitForLoad(login));
        }
        auto *tick = login->findChild<QTimer *>(QStringLiteral("autoLoginTimer"));
        QVERIFY(tick && tick->isActive());
        QSignalSpy ticks(tick, &QTimer::timeout);
        QSignalSpy sent(login, &LoginDig::SigSendMessageToJS);
        QSignalSpy received(bridgeOf(login->webView()), &TInteractObj::SigReceivedMessFromJS);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), ticks.count(), 2000);
        QCOMPARE(sent.count(), ticks.count());
        for (const QList<QVariant> &message : qAsConst(received)) {
            QCOMPARE(message.at(0).toInt(), 50);
            QCOMPARE(message.at(2).toString(), QStringLiteral("autoLogin"));
        }

        // Nobody answered: after six seconds the login page is shown again,
        // while the requests go on in the background.
        QVERIFY(sinceCreation.elapsed() < 6000);
        QTRY_VERIFY_WITH_TIMEOUT(login->isVisible(), 8000);
        QVERIFY(sinceCreation.elapsed() >= 6000 * 0.9); // a coarse timer may fire 5% early
        QVERIFY(!login->loadingDialog()->isVisible());
        QVERIFY(tick->isActive());

        // From now on no load hides the window again.
        login->webView()->reload();
        QVERIFY(waitForLoad(login));
        QTest::qWait(100);
        QVERIFY(login->isVisible() && !login->loadingDialog()->isVisible());

        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: auto");
        sendFromPage(login->webView(), 2, QStringLiteral("{name: 'auto'}"));
        QTRY_VERIFY(login.isNull());
    }

    void switchingAccountsNeverLogsInByItself()
    {
        auto *login = new LoginDig(false);
        login->show();
        QVERIFY(waitForLoad(login));
        QVERIFY(login->isVisible());
        QVERIFY(!login->loadingDialog()->isVisible());
        QVERIFY(!login->findChild<QTimer *>(QStringLiteral("autoLoginTimer"))->isActive());
    }
};

class TestLoginRetry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { isolateDefaultProfile(); }
    void cleanup() { deleteClientWindows(); }

    void portalDownShowsOurPageAndBacksOffUntilItAnswers()
    {
        TempDataDir data;
        Config().SetValue(QStringLiteral("sys"), QStringLiteral("autoLogin"), true);
        QTcpServer reserve;
        QVERIFY(reserve.listen(QHostAddress::LocalHost));
        const quint16 port = reserve.serverPort();
        reserve.close();
        Endpoints::setHost(Endpoints::Role::Member, QStringLiteral("127.0.0.1:%1").arg(port));

        const QRegularExpression failed(QStringLiteral("^page failed to load: http://127.0.0.1:%1/Kavobox2").arg(port));
        for (int i = 0; i < 4; ++i)
            QTest::ignoreMessage(QtWarningMsg, failed);

        auto *login = new LoginDig(true);
        login->show();
        auto *retry = login->webView()->findChild<LoadRetry *>();
        QVERIFY(retry);
        QSignalSpy scheduled(retry, &LoadRetry::retryScheduled);
        QSignalSpy finished(login->webView(), &QWebEngineView::loadFinished);
        QElapsedTimer clock;
        QVector<qint64> failedAt;
        connect(login->webView(), &QWebEngineView::loadFinished, this, [&](bool ok) {
            if (!ok)
                failedAt.append(clock.elapsed());
        });
        clock.start();

        // Our own page covers the window, with a way out and a way to retry.
        auto *errorPage = login->findChild<QWidget *>(QStringLiteral("loadErrorPage"));
        QVERIFY(errorPage);
        QTRY_VERIFY_WITH_TIMEOUT(errorPage->isVisible(), 10000);
        QCOMPARE(errorPage->geometry(), login->rect());
        auto texts = [errorPage] {
            QStringList all;
            for (QLabel *label : errorPage->findChildren<QLabel *>())
                all << label->text();
            return all.join(QLatin1Char('|'));
        };
        QVERIFY(texts().contains(QStringLiteral("无法连接到服务器")));
        QVERIFY2(texts().contains(QStringLiteral("秒后自动重试")), qPrintable(texts()));

        QTRY_COMPARE_WITH_TIMEOUT(scheduled.count(), 2, 10000);
        QCOMPARE(scheduled.at(0).at(0).toInt(), 1000);
        QCOMPARE(scheduled.at(1).at(0).toInt(), 2000);
        QCOMPARE(failedAt.size(), 2); // one reload per failure, not a spin
        QVERIFY2(failedAt.at(1) - failedAt.at(0) >= 950, qPrintable(QString::number(failedAt.at(1) - failedAt.at(0))));
        // Showing our page is no load: the window neither hid nor logged in.
        QVERIFY(login->isVisible() && !login->loadingDialog()->isVisible());

        // "重试" does not wait for the 2 s.
        auto button = [errorPage](const QString &text) {
            for (QPushButton *b : errorPage->findChildren<QPushButton *>()) {
                if (b->text() == text)
                    return b;
            }
            return static_cast<QPushButton *>(nullptr);
        };
        button(QStringLiteral("重试"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(scheduled.count(), 3, 1500);
        QCOMPARE(scheduled.at(2).at(0).toInt(), 4000);

        // The portal comes back during the wait: the retry finds it.
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--port"), QString::number(port)}));
        button(QStringLiteral("重试"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty() && finished.last().first().toBool(), 10000);
        QVERIFY(!errorPage->isVisible());
        QCOMPARE(scheduled.count(), 3);

        // A success starts the sequence again from one second.
        portal.stop();
        login->webView()->reload();
        QTRY_COMPARE_WITH_TIMEOUT(scheduled.count(), 4, 10000);
        QCOMPARE(scheduled.at(3).at(0).toInt(), 1000);
        QTRY_VERIFY(errorPage->isVisible());

        // "关闭" closes the login window, as the page's own close does.
        QPointer<LoginDig> guard = login;
        button(QStringLiteral("关闭"))->click();
        QTRY_VERIFY(guard.isNull());
    }

    void retriesAfterTheTimeoutKeepTheWindowShown()
    {
        TempDataDir data;
        Config().SetValue(QStringLiteral("sys"), QStringLiteral("autoLogin"), true);
        PortalProcess portal; // its login page waits for the user: "autoLogin" does nothing
        QVERIFY(portal.start());
        Endpoints::setHost(Endpoints::Role::Member, portal.hostPort());

        QPointer<LoginDig> login = new LoginDig(true);
        login->show();
        QTRY_VERIFY_WITH_TIMEOUT(login->isHidden() && login->loadingDialog()->isVisible(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(login->isVisible(), 8000); // the time-out

        // The portal goes and comes back; the retry's successful load must
        // not hide the window behind the loading dialog again.
        const QString port = QString::number(portal.port());
        portal.stop();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^page failed to load")));
        login->webView()->reload();
        auto *retry = login->webView()->findChild<LoadRetry *>();
        QTRY_VERIFY_WITH_TIMEOUT(retry->isPending(), 10000);
        QVERIFY(portal.start({QStringLiteral("--port"), port}));
        QSignalSpy loaded(login->webView(), &QWebEngineView::loadFinished);
        QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty() && loaded.last().first().toBool(), 10000);
        QTest::qWait(100);
        QVERIFY(login->isVisible());
        QVERIFY(!login->loadingDialog()->isVisible());
    }
};

// The program itself, started as a user starts it, from a folder of its own
// (the data folder is the executable's folder when writable).
class TestProgram : public QObject
{
    Q_OBJECT
private:
    HttpFixture m_http;
    const QString kHomePageLoaded = QStringLiteral("page loaded: Kavo首页");

    struct Run {
        int exitCode = -1;
        QProcess::ExitStatus status = QProcess::CrashExit;
        QString log;
    };

    // Runs the client until it ends by itself, or, with terminateAfter, until
    // that text appears in its log: then a SIGTERM ends it, or drive does
    // what a user would to end it.
    Run runClient(const QTemporaryDir &folder, const QProcessEnvironment &environment,
                  const QString &terminateAfter = QString(), const std::function<void(qint64)> &drive = {})
    {
        const QString exe = folder.filePath(QStringLiteral("kavobox"));
        if (!QFile::exists(exe) && !QFile::copy(QStringLiteral(KAVO_CLIENT_BIN), exe))
            return {};
        QFile ini(folder.filePath(QStringLiteral("portal.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return {};
        const QByteArray host = m_http.hostPort().toUtf8();
        ini.write("[hosts]\nmember=" + host + "\ncontent=" + host + "\n");
        ini.close();

        QProcess client;
        client.setProcessEnvironment(environment);
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(exe, {});
        Run run;
        QByteArray early;
        if (!terminateAfter.isEmpty()) {
            static_cast<void>(QTest::qWaitFor([&] { // the caller checks the log
                early += client.readAll();
                return early.contains(terminateAfter.toUtf8()) || client.state() == QProcess::NotRunning;
            }, 30000));
            if (drive)
                drive(client.processId());
            else
                client.terminate();
        }
        if (!client.waitForFinished(60000)) {
            client.kill();
            client.waitForFinished();
        }
        run.exitCode = client.exitCode();
        run.status = client.exitStatus();
        run.log = QString::fromUtf8(early + client.readAll());
        return run;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/logs-in.html")));
        serveBoxPages(m_http);
    }

    void startsLogsInAndEndsCleanly()
    {
        QTemporaryDir folder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("zh_CN:en"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
        const Run run = runClient(folder, environment, kHomePageLoaded);
        QVERIFY2(run.status == QProcess::NormalExit, qPrintable(run.log));
        QVERIFY2(run.exitCode == 0, qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("QDebug-login-username: e2e")), qPrintable(run.log));
        QVERIFY2(run.log.contains(kHomePageLoaded), qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("translation DIVEVURKavo_zh_CN installed")), qPrintable(run.log));
        QVERIFY2(!run.log.contains(QStringLiteral("Release of profile requested")), qPrintable(run.log));

        QSettings config(folder.filePath(QStringLiteral("Config.ini")), QSettings::IniFormat);
        QCOMPARE(config.value(QStringLiteral("currectKeys/hideGameKey")).toString(), QStringLiteral("Alt+D"));
        QCOMPARE(config.value(QStringLiteral("defaultKeys/zoomWindow")).toString(), QStringLiteral("F11"));
    }

    void terminationSignalClosesInOrder()
    {
        QTemporaryDir folder;
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/echo-login.html")));
        const Run run = runClient(folder, QProcessEnvironment::systemEnvironment(), QStringLiteral("finish: true"));
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/logs-in.html")));
        QVERIFY2(run.log.contains(QStringLiteral("finish: true")), qPrintable(run.log));
        QVERIFY2(run.exitCode == 0 && run.status == QProcess::NormalExit, qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("quitting")), qPrintable(run.log));
        QVERIFY2(!run.log.contains(QStringLiteral("Release of profile requested")), qPrintable(run.log));
    }

    void quitsFromTheTrayMenu()
    {
        DesktopSession desktop;
        QVERIFY2(desktop.start(), qPrintable(desktop.why()));
        QTemporaryDir folder;
        const Run run = runClient(folder, QProcessEnvironment::systemEnvironment(), kHomePageLoaded, [](qint64 pid) {
            // The boss key on the box, then "退出" from the tray icon's menu.
            const QString box = DesktopSession::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                         QStringLiteral("--pid"), QString::number(pid),
                                                         QStringLiteral("--name"), QStringLiteral("^Kavo游戏盒子$")});
            DesktopSession::xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), box});
            DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
            QRect icon;
            if (!QTest::qWaitFor([&] { return !(icon = DesktopSession::trayIconOf(pid)).isNull(); }, 10000))
                return;
            const QPoint at = icon.center();
            DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                     QStringLiteral("click"), QStringLiteral("3")});
            QTest::qWait(500); // the menu opens
            DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});
        });
        QVERIFY2(run.status == QProcess::NormalExit && run.exitCode == 0, qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("exit code 0")), qPrintable(run.log));
        QVERIFY2(!run.log.contains(QStringLiteral("Release of profile requested")), qPrintable(run.log));
    }

    void rootStartsWithoutBeingToldAboutTheSandbox()
    {
#ifdef Q_OS_UNIX
        if (geteuid() != 0)
            QSKIP("only root needs the sandbox switched off");
#endif
        QTemporaryDir folder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
        const Run run = runClient(folder, environment, kHomePageLoaded);
        QVERIFY2(run.exitCode == 0 && run.status == QProcess::NormalExit, qPrintable(run.log));
        QCOMPARE(run.log.count(QStringLiteral("the web engine's sandbox is disabled")), 1);
    }
};

int main(int argc, char **argv)
{
    return runTests<TestLoginWindow, TestAutoLogin, TestLoginRetry, TestProgram>(argc, argv);
}

#include "tst_account.moc"
