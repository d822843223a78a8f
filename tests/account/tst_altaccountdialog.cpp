#include "altaccountui.h"
#include "core/endpoints.h"
#include "core/portalapi.h"
#include "support/httpfixture.h"
#include "support/tempdata.h"
#include "support/testmain.h"

// Verifying against a server that is slow, talks nonsense or is not there.
class TestAltAccountFaults : public TestCase
{
    Q_OBJECT
private:
    TempDataDir m_data;
    HttpFixture m_http;
    PortalApi m_api;
    QStringList m_log;

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        m_http.setBody(QStringLiteral("/api/allserver_series.php?act=getgame"), R"([{"tag":"xyj","gamename":"西游"}])");
        m_http.setBody(QStringLiteral("/api/allserver_series.php?limit=&start=0&end=0&check=Kavobox&gamename=xyj"),
                       R"([{"server":"s1","gamename":"一服"}])");
    }

    void theButtonWaitsForEachOutcomeAndNoSecretIsLogged()
    {
        static QStringList *log = &m_log;
        static QtMessageHandler previous = nullptr;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            log->append(text);
            previous(type, context, text);
        });
        AltAccountDialog dialog(&m_api, nullptr);
        dialog.show();
        QPushButton *confirm = button(&dialog, QStringLiteral("确定"));

        m_http.setBody(QStringLiteral("/login.php"), R"({"msg":1,"code":"0","ckcode":"s3cretcheck"})");
        m_http.setDelay(QStringLiteral("/login.php"), 800);
        QVERIFY(verify(&dialog, QStringLiteral("alt"), QStringLiteral("hunter2")));
        QVERIFY(!confirm->isEnabled());
        QTRY_VERIFY(confirm->isEnabled());
        m_http.setDelay(QStringLiteral("/login.php"), 0);
        QCOMPARE(storedNames(), QStringList{QStringLiteral("alt")});

        // Each failure says so, and what was typed stays: an unusable reply,
        // an error answer, no answer at all.
        const QString nobodyHost = unusedHostPort();
        const QString busy = QStringLiteral("服务器繁忙，请稍后重试");
        const struct {
            QByteArray body;
            int status;
            QString host;
            QString warning;
            QString line;
        } failures[] = {{R"({"msg":1})", 200, m_http.hostPort(), QStringLiteral("alt-account login: unusable reply"), busy},
                        {"oops", 500, m_http.hostPort(), QStringLiteral("^Failed: .*/login.php "), busy},
                        {"", 200, nobodyHost, QStringLiteral("^Failed: .*/login.php "),
                         QStringLiteral("无法连接到服务器，请稍后重试")}};
        dialog.show();
        const QList<QLineEdit *> edits = dialog.findChildren<QLineEdit *>();
        edits.at(0)->setText(QStringLiteral("alt2"));
        edits.at(1)->setText(QStringLiteral("hunter2"));
        for (const auto &failure : failures) {
            m_http.setBody(QStringLiteral("/login.php"), failure.body, "application/json", failure.status);
            Endpoints::setHost(Endpoints::Role::Member, failure.host);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(failure.warning));
            // Enter in a field presses "确定" as a click does.
            if (&failure == failures)
                QTest::keyClick(edits.at(1), Qt::Key_Return);
            else
                confirm->click();
            QTRY_VERIFY(confirm->isEnabled());
            QCOMPARE(errorLine(&dialog), failure.line);
            QVERIFY(edits.at(0)->text() == QStringLiteral("alt2") && edits.at(1)->text() == QStringLiteral("hunter2"));
        }
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        QCOMPARE(storedNames().size(), 1); // nothing stored without a check code

        qInstallMessageHandler(previous);
        const QString all = m_log.join(QLatin1Char('\n'));
        QVERIFY2(!all.contains(QStringLiteral("hunter2")) && !all.contains(QStringLiteral("s3cretcheck")), qPrintable(all));
    }

    // "确定" waits for a game and a server; lists that do not come say so,
    // and come at the next showing.
    void withoutAServerNothingCanBeConfirmed()
    {
        Endpoints::setHost(Endpoints::Role::Member, unusedHostPort());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Failed: .*/api/allserver_series.php ")));
        AltAccountDialog dialog(&m_api, nullptr);
        dialog.show();
        QPushButton *confirm = button(&dialog, QStringLiteral("确定"));
        QTRY_COMPARE(errorLine(&dialog), QStringLiteral("无法连接到服务器，请稍后重试"));
        QVERIFY(!confirm->isEnabled());

        const QString servers = QStringLiteral("/api/allserver_series.php?limit=&start=0&end=0&check=Kavobox&gamename=xyj");
        m_http.setBody(servers, "[]");
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        dialog.hide();
        dialog.show();
        QSignalSpy arrived(dialog.findChild<GameServerChooser *>(), &GameServerChooser::serversArrived);
        QVERIFY(arrived.wait(5000));
        QVERIFY(errorLine(&dialog).isEmpty() && !confirm->isEnabled()); // a game without servers
        m_http.setBody(servers, R"([{"server":"s1","gamename":"一服"}])");
    }
};
KAVO_TEST(TestAltAccountFaults)

#include "tst_altaccountdialog.moc"
