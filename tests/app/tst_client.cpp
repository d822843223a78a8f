#include "account/loginwindow.h"
#include "app/client.h"
#include "core/config.h"
#include "box/detachedgames.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include "box/boxactions.h"
#include "box/mainwindow.h"
#include "box/tabwidget.h"
#include "support/boxfixture.h"
#include "support/httpfixture.h"
#include "support/lookup.h"
#include "support/messageboxes.h"
#include "support/records.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "reminder/remindernotice.h"
#include "web/detachedwindow.h"
#include "web/profiles.h"
#include "web/gamepage.h"
#include "web/webview.h"
#include "widgets/loadingdialog.h"
#include "widgets/settingsdialog.h"
#include <QDateTime>
#include <QPushButton>
#include <QToolButton>
#include <QWebEngineProfile>
#include <memory>

// The run from login to quitting, as the client's owner drives it.
class TestClient : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    HttpFixture m_http;

    // Logs in through the page of the client's login window, once loaded.
    static bool loginAs(Client &client, const QString &name, bool loaded = false)
    {
        LoginWindow *login = client.loginWindow();
        if (!login || (!loaded && !waitForLoad(login->webView())))
            return false;
        QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("QDebug-login-username: ") + name));
        sendFromPage(login->webView(), 2, QStringLiteral("{name: %1}").arg(jsString(name)));
        return QTest::qWaitFor([&] { return client.mainWindow() && client.mainWindow()->userName() == name; }, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/echo-login.html")));
        serveBareBox(m_http);
    }

    void loginOpensTheBoxAndFreesTheLoginWindow()
    {
        Client client(testProfile());
        QSignalSpy finished(&client, &Client::finished);
        client.start();
        QPointer<LoginWindow> login = client.loginWindow();
        QVERIFY(login && login->isVisible());
        QPointer<WebView> loginView = login->webView();

        QVERIFY(loginAs(client, QStringLiteral("玩家一号")));
        QVERIFY(client.mainWindow()->isVisible());
        QTRY_VERIFY(login.isNull() && loginView.isNull());
        QCOMPARE(finished.count(), 0);

        // Cookies of every page are logged, once each, and never with their value.
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Cookie Added--> \\S* kavo_session$")));
        GamePage *home = client.mainWindow()->tabs()->page(0);
        QTRY_VERIFY(runJs(home->webView()->page(), QStringLiteral("location.protocol === 'http:'")).toBool());
        runJs(home->webView()->page(), QStringLiteral("document.cookie = 'kavo_session=s3cr3t-value; path=/'"));
        QTest::qWait(300);

        // Opening the site messages switches the profile's HTTP cache off.
        testProfile()->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        client.mainWindow()->actions()->messages->trigger();
        QCOMPARE(testProfile()->httpCacheType(), QWebEngineProfile::NoCache);

        client.mainWindow()->close();
        QTRY_COMPARE(finished.count(), 1);
    }

    void switchingAccountsKeepsTheRunAndNeverLogsInByItself()
    {
        Client client(testProfile());
        client.config()->setValue(Settings::kAutoLogin, true);
        QSignalSpy finished(&client, &Client::finished);
        client.start();
        QVERIFY(loginAs(client, QStringLiteral("a")));
        QPointer<MainWindow> first = client.mainWindow();

        menuEntry(first, QStringLiteral("切换账号"))->trigger();
        QPointer<LoginWindow> login = client.loginWindow();
        QVERIFY(login && login->isVisible());
        QTRY_VERIFY(first.isNull());
        QVERIFY(waitForLoad(login->webView()));
        QTest::qWait(100);
        QVERIFY(login->isVisible() && !login->loadingDialog()->isVisible());

        QVERIFY(loginAs(client, QStringLiteral("b"), true));
        QTRY_VERIFY(login.isNull());
        QCOMPARE(finished.count(), 0);
        // The new box is whole: its menus work.
        menuEntry(client.mainWindow(), QStringLiteral("系统设置"))->trigger();
        QVERIFY(client.mainWindow()->findChild<SettingsDialog *>());
        client.config()->setValue(Settings::kAutoLogin, false);
    }

    void detachedGamesNeverEndTheRunAndGoWithIt()
    {
        QPointer<DetachedWindow> kept;
        {
            Client client(testProfile());
            QSignalSpy finished(&client, &Client::finished);
            client.start();
            QVERIFY(loginAs(client, QStringLiteral("a")));
            MainWindow *box = client.mainWindow();
            for (int game = 0; game < 2; ++game) {
                box->openGame(QStringLiteral("g"), m_http.url(QStringLiteral("/landers.html")))
                    ->findChild<QToolButton *>(QStringLiteral("detachButton"))->click();
            }
            QPointer<DetachedWindow> closed = box->detachedGames()->windows().value(0);
            kept = box->detachedGames()->windows().value(1);
            QVERIFY(closed && kept);

            box->hide(); // behind the tray
            answerNextMessageBox(QStringLiteral("确定"));
            closed->close();
            QTRY_VERIFY(closed.isNull());
            QTest::qWait(100);
            QCOMPARE(finished.count(), 0);

            emit box->quitRequested(); // the tray's "退出": no question for the game
            QCOMPARE(finished.count(), 1);
        }
        QVERIFY(kept.isNull());
    }

    void remindersRingBeforeTheLoginAndTheirGameOpensAfterIt()
    {
        writeReminderRecords({reminderRecord(QStringLiteral("s1"), QDateTime::currentSecsSinceEpoch() + 1)});
        Client client(testProfile());
        client.start();
        QPointer<LoginWindow> login = client.loginWindow();
        QVERIFY(waitForLoad(login->webView()));
        QTRY_VERIFY_WITH_TIMEOUT(!topLevels<ReminderNotice>().isEmpty(), 5000);
        // Rung once, it is off the list and frees its place.
        QCOMPARE(readReminderRecords().size(), 0);
        login->showMinimized();
        QTRY_VERIFY(login->isMinimized());
        childWithText<QPushButton>(topLevels<ReminderNotice>().first(), QStringLiteral("进入游戏"))->click();
        QTRY_VERIFY(!login->isMinimized() && login->isVisible());

        QVERIFY(loginAs(client, QStringLiteral("a"), true));
        TabWidget *tabs = client.mainWindow()->tabs();
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->page(2)->address(), Endpoints::url(Endpoints::Address::EnterGame, {QStringLiteral("xyj"), QStringLiteral("s1")}));
    }

    void quittingFreesEveryProfileAfterItsPages()
    {
        auto client = std::make_unique<Client>(testProfile());
        client->start();
        QVERIFY(loginAs(*client, QStringLiteral("a")));
        for (const QString &account : {QStringLiteral("alt1"), QStringLiteral("alt2")}) {
            GamePage *game = client->mainWindow()->tabs()->openGame(account, m_http.url(QStringLiteral("/landers.html")),
                                                                    client->profiles()->forAccount(account));
            QVERIFY(waitForLoad(game->webView()));
        }
        QCOMPARE(client->profiles()->all().size(), 3);
        // The engine says so when a profile goes before its pages.
        static QStringList warnings;
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtWarningMsg)
                warnings << text;
        });
        emit client->mainWindow()->quitRequested();
        client.reset(); // as main() ends the run
        QCoreApplication::processEvents();
        qInstallMessageHandler(previous);
        QVERIFY2(warnings.filter(QStringLiteral("Release of profile")).isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    }

    void closingTheLoginWindowEndsTheRun()
    {
        Client client(testProfile());
        QSignalSpy finished(&client, &Client::finished);
        client.start();
        client.loginWindow()->close();
        QTRY_COMPARE(finished.count(), 1);
    }
};
KAVO_TEST(TestClient)

#include "tst_client.moc"
