#include "core/endpoints.h"
#include "portalclient.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include <QJsonArray>
#include <QJsonObject>

// The demo portal over plain HTTP, as the client and a browser reach it.
class TestPortalApis : public TestCase
{
    Q_OBJECT
private:
    PortalProcess m_portal;

private slots:
    void initTestCase()
    {
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
    }

    void everyClientAddressIsServed()
    {
        const QString tag = get(Endpoints::url(Endpoints::Address::GameList)).json().array().first()[QStringLiteral("tag")].toString();
        const QString server = get(Endpoints::url(Endpoints::Address::ServerList, {tag})).json().array().first()
                                   [QStringLiteral("server")].toString();
        const QJsonObject login = get(Endpoints::url(Endpoints::Address::LoginApi, {QStringLiteral("kavo_alt1"),
                                                                                   QStringLiteral("SecretPw42")})).json().object();
        QCOMPARE(login[QStringLiteral("msg")].toInt(), 0); // a wrong password
        const QString ckcode = get(Endpoints::url(Endpoints::Address::LoginApi, {QStringLiteral("kavo_alt1"), QStringLiteral("alt123")}))
                                   .json()[QStringLiteral("ckcode")].toString();
        QVERIFY(!tag.isEmpty() && !server.isEmpty() && !ckcode.isEmpty());
        for (const Endpoints::Definition &d : Endpoints::definitions()) {
            QStringList values;
            for (const Endpoints::QueryItem &item : d.query) {
                if (!item.variable)
                    continue;
                if (item.key == QLatin1String("game") || item.key == QLatin1String("gamename") || item.key == QLatin1String("gname"))
                    values << tag;
                else if (item.key.endsWith(QLatin1String("server")))
                    values << server;
                else if (item.key == QLatin1String("username") || item.key == QLatin1String("boxSmall"))
                    values << QStringLiteral("kavo_alt1");
                else if (item.key == QLatin1String("password"))
                    values << QStringLiteral("alt123");
                else if (item.key == QLatin1String("ckcode"))
                    values << ckcode;
            }
            QUrl url = Endpoints::url(d.address, values);
            url.setScheme(QStringLiteral("http")); // the demo serves its https pages over http
            const Reply reply = get(url);
            QVERIFY2(reply.status == 200 && !reply.body.isEmpty(),
                     qPrintable(url.toString() + QStringLiteral(" -> ") + QString::number(reply.status)));
        }
        // Another account's check code lets nobody in.
        QCOMPARE(get(Endpoints::url(Endpoints::Address::EnterGameAsAlt, {tag, server, QStringLiteral("kavo_alt2"), ckcode})).status, 403);
        QTRY_VERIFY(m_portal.log().contains(QStringLiteral("/login.php")));
        QVERIFY(!m_portal.log().contains(QStringLiteral("SecretPw42")));
    }

    // A browser navigating to a page gets an error page; APIs and scripts get JSON.
    void errorsAreJsonUnlessABrowserOpensAPage_data()
    {
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<bool>("browser");
        QTest::addColumn<int>("status");
        QTest::newRow("login without password") << "/login.php?action=get_user&username=a" << false << 400;
        QTest::newRow("broken escapes") << "/login.php?action=get_user&username=%zz&password=%" << false << 200;
        QTest::newRow("unknown path") << "/no/such/page" << false << 404;
        QTest::newRow("browser: unknown game") << "/entergame.php?game=nope&server=s1" << true << 404;
        QTest::newRow("browser: login api") << "/login.php?username=a&password=b" << true << 400;
        QTest::newRow("browser: unknown api path") << "/api/no-such.json" << true << 404;
        QTest::newRow("download over 64 MiB") << "/download/file?name=a&size=67108865" << false << 400;
        QTest::newRow("download taking over 10 min") << "/download/file?name=a&size=100000&rate=100" << false << 400;
    }

    void errorsAreJsonUnlessABrowserOpensAPage()
    {
        QFETCH(QString, pathAndQuery);
        QFETCH(bool, browser);
        QFETCH(int, status);
        const Reply reply = get(QUrl(QStringLiteral("http://") + m_portal.hostPort() + pathAndQuery, QUrl::TolerantMode),
                                browser ? kBrowserAccept : QByteArray());
        QCOMPARE(reply.status, status);
        if (browser && !pathAndQuery.startsWith(QLatin1String("/api/")) && !pathAndQuery.startsWith(QLatin1String("/login.php"))) {
            QVERIFY(reply.headers.value("content-type").startsWith("text/html"));
            QVERIFY(reply.body.contains("<a class=\"btn btn-primary\" href=\"/\">"));
            return;
        }
        QVERIFY2(reply.json().isObject(), reply.body.constData());
        if (status >= 400)
            QVERIFY(!reply.json()[QStringLiteral("error")].toString().isEmpty());
    }

    void downloadsNameThemselvesSafelyAndCanBreakOff()
    {
        // Sent as given, path included: the client must defend itself, but a
        // line break must not end the header.
        const QString name = QStringLiteral("../攻略 \"a\"\r\nX-Injected: 1.txt");
        const Reply reply = get(m_portal.url(QStringLiteral("/download/file?size=300&breakAt=200&name=")
                                             + QString::fromLatin1(QUrl::toPercentEncoding(name))));
        QCOMPARE(reply.headers.value("content-length"), QByteArray("300"));
        QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
        QCOMPARE(reply.body.size(), 200);
        QVERIFY(!reply.headers.contains("x-injected"));
        const QByteArray disposition = reply.headers.value("content-disposition");
        const int star = disposition.indexOf("; filename*=UTF-8''");
        QVERIFY2(disposition.startsWith("attachment; filename=\"") && star > 0, disposition.constData());
        QCOMPARE(QUrl::fromPercentEncoding(disposition.mid(star + 19)), name);
        for (const char c : disposition.mid(22, star - 23))
            QVERIFY2(c >= 0x20 && c < 0x7F && c != '"', disposition.constData());
    }

    void optionsSetTheUpdateAndTheDemoLogin()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--version-code"), QStringLiteral("7"), QStringLiteral("--force"),
                              QStringLiteral("1"), QStringLiteral("--demo-login"), QStringLiteral("演示</script>\"")}));
        const QJsonObject update = get(portal.url(QStringLiteral("/update/"))).json().object();
        QCOMPARE(update[QStringLiteral("version_code")].toInt(), 7);
        QCOMPARE(update[QStringLiteral("force")].toInt(), 1);
        const QByteArray page = get(portal.url(QStringLiteral("/Kavobox2"))).body;
        QVERIFY(page.contains("qrc:///qtwebchannel/qwebchannel.js"));
        QVERIFY2(!page.contains("演示</script>"), "the name must not be able to close the script");
    }
};
KAVO_TEST(TestPortalApis)

#include "tst_portalapis.moc"
