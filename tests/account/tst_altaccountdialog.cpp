#include "altaccountui.h"
#include "core/config.h"
#include "core/endpoints.h"
#include "core/portalapi.h"
#include "support/httpfixture.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QTcpServer>

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

        m_http.setBody(QStringLiteral("/login.php"), R"({"msg":1})");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("alt-account login: unusable reply")));
        dialog.show();
        QVERIFY(verify(&dialog, QStringLiteral("alt2"), QStringLiteral("hunter2"), true));
        QTRY_VERIFY(confirm->isEnabled());
        QCOMPARE(storedNames().size(), 1); // nothing stored without a check code

        QTcpServer nobody;
        QVERIFY(nobody.listen(QHostAddress::LocalHost));
        Endpoints::setHost(Endpoints::Role::Member, QStringLiteral("127.0.0.1:%1").arg(nobody.serverPort()));
        nobody.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Failed: .*/login.php ")));
        button(&dialog, QStringLiteral("确定"))->click();
        QTRY_VERIFY(confirm->isEnabled());
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());

        qInstallMessageHandler(previous);
        const QString all = m_log.join(QLatin1Char('\n'));
        QVERIFY2(!all.contains(QStringLiteral("hunter2")) && !all.contains(QStringLiteral("s3cretcheck")), qPrintable(all));
    }
};
KAVO_TEST(TestAltAccountFaults)

#include "tst_altaccountdialog.moc"
