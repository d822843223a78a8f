#include "core/config.h"
#include "core/endpoints.h"
#include "loginpage.h"
#include "support/httpfixture.h"
#include "support/portalprocess.h"
#include "support/tempdata.h"
#include "support/lookup.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include "web/loadretry.h"
#include "widgets/loadingdialog.h"
#include <QElapsedTimer>

class TestAutoLogin : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    Config m_config;
    HttpFixture m_http;

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/echo-login.html")));
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        m_config.setValue(Settings::kAutoLogin, true);
    }

    void cleanup() { deleteTopLevels<LoginWindow>(); }

    void hidesAsksOncePerTickAndComesBackAfterTheTimeout()
    {
        QElapsedTimer sinceCreation;
        sinceCreation.start();
        QPointer<LoginWindow> login = new LoginWindow(&m_config, testProfile(), true);
        login->show();
        QVERIFY(waitForLoad(login->webView()));
        QTRY_VERIFY(login->loadingDialog()->isVisible());
        QVERIFY(login->isHidden());

        // Later loads must not multiply the requests.
        for (int i = 0; i < 2; ++i) {
            login->webView()->reload();
            QVERIFY(waitForLoad(login->webView()));
        }
        auto *tick = login->findChild<QTimer *>(QStringLiteral("autoLoginTimer"));
        QVERIFY(tick && tick->isActive());
        QSignalSpy ticks(tick, &QTimer::timeout);
        QSignalSpy sent(bridgeOf(login->webView()), &BridgeObject::SigSendMessageToJS);
        QSignalSpy received(bridgeOf(login->webView()), &BridgeObject::messageReceived);
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
        QVERIFY(waitForLoad(login->webView()));
        QTest::qWait(100);
        QVERIFY(login->isVisible() && !login->loadingDialog()->isVisible());

        QSignalSpy succeeded(login, &LoginWindow::loginSucceeded);
        QTest::ignoreMessage(QtInfoMsg, "QDebug-login-username: auto");
        sendFromPage(login->webView(), 2, QStringLiteral("{name: 'auto'}"));
        QTRY_COMPARE(succeeded.count(), 1);
        QVERIFY(!tick->isActive());
    }

    void retriesAfterTheTimeoutKeepTheWindowShown()
    {
        TempDataDir data;
        Config config;
        config.setValue(Settings::kAutoLogin, true);
        PortalProcess portal; // its login page waits for the user: "autoLogin" does nothing
        QVERIFY(portal.start());
        Endpoints::setHost(Endpoints::Role::Member, portal.hostPort());

        QPointer<LoginWindow> login = new LoginWindow(&config, testProfile(), true);
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
KAVO_TEST(TestAutoLogin)

#include "tst_autologin.moc"
