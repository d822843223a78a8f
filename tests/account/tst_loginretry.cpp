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
#include <QLabel>
#include <QPushButton>

class TestLoginRetry : public TestCase
{
    Q_OBJECT
private slots:
    void cleanup() { deleteTopLevels<LoginWindow>(); }

    void portalDownShowsOurPageAndBacksOffUntilItAnswers()
    {
        TempDataDir data;
        Config config;
        config.setValue(Settings::kAutoLogin, true);
        const QString host = unusedHostPort();
        Endpoints::setHost(Endpoints::Role::Member, host);

        const QRegularExpression failed(QStringLiteral("^page failed to load: http://%1/Kavobox2").arg(host));
        for (int i = 0; i < 3; ++i) // one per reload
            QTest::ignoreMessage(QtWarningMsg, failed);

        auto *login = new LoginWindow(&config, testProfile(), true);
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
        childWithText<QPushButton>(errorPage, QStringLiteral("重试"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(scheduled.count(), 3, 1500);
        QCOMPARE(scheduled.at(2).at(0).toInt(), 4000);

        // The portal comes back during the wait: the retry finds it.
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--port"), host.section(QLatin1Char(':'), 1)}));
        childWithText<QPushButton>(errorPage, QStringLiteral("重试"))->click();
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
        QPointer<LoginWindow> guard = login;
        childWithText<QPushButton>(errorPage, QStringLiteral("关闭"))->click();
        QTRY_VERIFY(guard.isNull());
    }

};
KAVO_TEST(TestLoginRetry)

#include "tst_loginretry.moc"
