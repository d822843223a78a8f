#include "portalclient.h"
#include "support/testmain.h"

class TestPortalApis : public TestCase
{
    Q_OBJECT
private:
    PortalProcess m_portal;
    QString m_tag, m_server;

    QJsonObject login(const QString &user, const QString &password)
    {
        return get(Endpoints::url(Endpoints::Address::LoginApi, {user, password})).json().object();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_portal.start());
        m_portal.useForAllRoles();
    }

    void gameAndServerLists()
    {
        const Reply games = get(Endpoints::url(Endpoints::Address::GameList));
        QCOMPARE(games.status, 200);
        const QJsonArray list = games.json().array();
        QVERIFY2(list.size() >= 12, games.body.constData());
        for (const QJsonValue &game : list) {
            QVERIFY(!game[QStringLiteral("tag")].toString().isEmpty());
            QVERIFY(!game[QStringLiteral("gamename")].toString().isEmpty());
        }
        m_tag = list.first()[QStringLiteral("tag")].toString();

        const Reply servers = get(Endpoints::url(Endpoints::Address::ServerList, {m_tag}));
        QCOMPARE(servers.status, 200);
        const QJsonArray serverList = servers.json().array();
        QVERIFY(serverList.size() >= 2);
        for (const QJsonValue &server : serverList) {
            QVERIFY(!server[QStringLiteral("server")].toString().isEmpty());
            QVERIFY(!server[QStringLiteral("gamename")].toString().isEmpty());
        }
        m_server = serverList.first()[QStringLiteral("server")].toString();

        const Reply unknown = get(Endpoints::url(Endpoints::Address::ServerList, {QStringLiteral("no-such-game")}));
        QCOMPARE(unknown.status, 200);
        QVERIFY(unknown.json().isArray());
        QVERIFY(unknown.json().array().isEmpty());
    }

    void loginApiAnswersEachKindOfAccount()
    {
        const QJsonObject valid = login(QStringLiteral("kavo_alt1"), QStringLiteral("alt123"));
        QCOMPARE(valid[QStringLiteral("msg")].toInt(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(valid[QStringLiteral("ckcode")].toString()).hasMatch());

        const QJsonObject locked = login(QStringLiteral("locked_user"), QStringLiteral("locked123"));
        QCOMPARE(locked[QStringLiteral("msg")].toInt(), 0);
        QCOMPARE(locked[QStringLiteral("code")].toString(), QStringLiteral("-2"));

        const QJsonObject wrong = login(QStringLiteral("kavo_alt1"), QStringLiteral("nope"));
        QCOMPARE(wrong[QStringLiteral("msg")].toInt(), 0);
        QVERIFY(wrong[QStringLiteral("code")].toString() != QStringLiteral("-2"));
        QVERIFY(!wrong.contains(QStringLiteral("ckcode")));

        QCOMPARE(login(QString(), QString())[QStringLiteral("msg")].toInt(), 0);

        // Only whole, percent-encoded values can match this account.
        QCOMPARE(login(QStringLiteral("玩家 a&b"), QStringLiteral("p&ss#1+2 %=中"))[QStringLiteral("msg")].toInt(), 1);
    }

    void altAccountEntersOnlyWithItsOwnCheckCode()
    {
        QVERIFY(!m_tag.isEmpty());
        const QString ckcode = login(QStringLiteral("kavo_alt2"), QStringLiteral("alt456"))[QStringLiteral("ckcode")].toString();
        using A = Endpoints::Address;
        QCOMPARE(get(Endpoints::url(A::EnterGameAsAlt, {m_tag, m_server, QStringLiteral("kavo_alt2"), ckcode})).status, 200);
        QCOMPARE(get(Endpoints::url(A::EnterGameAsAlt, {m_tag, m_server, QStringLiteral("kavo_alt1"), ckcode})).status, 403);
        QCOMPARE(get(Endpoints::url(A::EnterGameAsAlt, {m_tag, m_server, QStringLiteral("kavo_alt2"), QStringLiteral("0123")})).status, 403);

        const Reply game = get(Endpoints::url(A::EnterGame, {m_tag, m_server}));
        QCOMPARE(game.status, 200);
        QVERIFY(game.body.contains("<canvas"));
        QCOMPARE(get(Endpoints::url(A::EnterGame, {QStringLiteral("no-such-game"), m_server})).status, 404);
    }

    void everyClientAddressIsServed()
    {
        QVERIFY(!m_tag.isEmpty());
        const QString ckcode = login(QStringLiteral("kavo_alt1"), QStringLiteral("alt123"))[QStringLiteral("ckcode")].toString();
        for (const Endpoints::Definition &d : Endpoints::definitions()) {
            QStringList values;
            for (const Endpoints::QueryItem &item : d.query) {
                if (!item.variable)
                    continue;
                if (item.key == QLatin1String("game") || item.key == QLatin1String("gamename") || item.key == QLatin1String("gname"))
                    values << m_tag;
                else if (item.key.endsWith(QLatin1String("server")))
                    values << m_server;
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
            QVERIFY2(reply.status == 200, qPrintable(url.toString() + QStringLiteral(" -> ") + QString::number(reply.status)));
            QVERIFY2(!reply.body.isEmpty(), qPrintable(url.toString()));
        }
    }

    // A browser navigating to a page gets an error page; APIs and scripts get JSON.
    void errorsAreJsonUnlessABrowserOpensAPage_data()
    {
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<bool>("browser");
        QTest::addColumn<int>("status");
        QTest::newRow("login without action") << "/login.php?username=a&password=b" << false << 400;
        QTest::newRow("login, other action") << "/login.php?action=drop&username=a&password=b" << false << 400;
        QTest::newRow("login without password") << "/login.php?action=get_user&username=a" << false << 400;
        QTest::newRow("server list without game") << "/api/allserver_series.php?check=Kavobox" << false << 400;
        QTest::newRow("enter without server") << "/entergame.php?game=x" << false << 400;
        QTest::newRow("broken escapes") << "/login.php?action=get_user&username=%zz&password=%" << false << 200;
        QTest::newRow("unknown path") << "/no/such/page" << false << 404;
        QTest::newRow("browser: unknown path") << "/no/such/page" << true << 404;
        QTest::newRow("browser: unknown game") << "/entergame.php?game=nope&server=s1" << true << 404;
        QTest::newRow("browser: login api") << "/login.php?username=a&password=b" << true << 400;
        QTest::newRow("browser: unknown api path") << "/api/no-such.json" << true << 404;
        QTest::newRow("download without name") << "/download/file?size=10" << false << 400;
        QTest::newRow("download over 64 MiB") << "/download/file?name=a&size=67108865" << false << 400;
        QTest::newRow("download breaking past its end") << "/download/file?name=a&size=10&breakAt=10" << false << 400;
        QTest::newRow("download at zero rate") << "/download/file?name=a&size=10&rate=0" << false << 400;
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
        const bool page = browser && !pathAndQuery.startsWith(QLatin1String("/api/")) && !pathAndQuery.startsWith(QLatin1String("/login.php"));
        if (page) {
            QVERIFY2(reply.contentType.startsWith("text/html"), reply.contentType.constData());
            QVERIFY(reply.body.contains("<a class=\"btn btn-primary\" href=\"/\">"));
            QVERIFY(reply.body.contains(QByteArray::number(status)));
            return;
        }
        QVERIFY2(reply.json().isObject(), reply.body.constData());
        if (status >= 400)
            QVERIFY(!reply.json().object().value(QStringLiteral("error")).toString().isEmpty());
    }

    void downloadCarriesItsNameSizeAndBytes()
    {
        // Sent as given, path and line break included: the client must defend itself,
        // but the line break must not end the header.
        const QString name = QStringLiteral("../攻略 \"a\"\r\nX-Injected: 1.txt");
        QUrl url = m_portal.url(QStringLiteral("/download/file"));
        url.setQuery(QStringLiteral("name=%1&size=300000&rate=200000")
                         .arg(QString::fromLatin1(QUrl::toPercentEncoding(name))));
        QElapsedTimer timer;
        timer.start();
        const Reply reply = get(url);
        QVERIFY2(timer.elapsed() >= 1200, "300000 bytes at 200000 B/s take about 1.4 s");
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.header("Content-Length"), QByteArray("300000"));
        QCOMPARE(reply.body.size(), 300000);
        QVERIFY(hasDownloadPattern(reply.body));
        QVERIFY(reply.header("X-Injected").isEmpty());

        const QByteArray disposition = reply.header("Content-Disposition");
        QVERIFY2(disposition.startsWith("attachment; filename=\""), disposition.constData());
        const int star = disposition.indexOf("; filename*=UTF-8''");
        QVERIFY(star > 0);
        QCOMPARE(QUrl::fromPercentEncoding(disposition.mid(star + 19)), name);
        const QByteArray fallback = disposition.mid(22, star - 23);
        QVERIFY2(fallback.startsWith("../") && !fallback.contains('"'), fallback.constData());
        for (const char c : fallback)
            QVERIFY2(c >= 0x20 && c < 0x7F, fallback.constData());
    }

    void downloadBreaksOffMidway()
    {
        const Reply reply = get(m_portal.url(QStringLiteral("/download/file?name=a.bin&size=100000&breakAt=40000")));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.header("Content-Length"), QByteArray("100000"));
        QCOMPARE(reply.error, QNetworkReply::RemoteHostClosedError);
        QCOMPARE(reply.body.size(), 40000);
        QVERIFY(hasDownloadPattern(reply.body));
    }

    void logNeverShowsPasswords()
    {
        login(QStringLiteral("kavo_alt1"), QStringLiteral("SecretPw42"));
        QCOMPARE(get(m_portal.url(QStringLiteral("/update/"))).status, 200); // still alive after all of the above
        QTRY_VERIFY(m_portal.log().contains(QStringLiteral("/update/")));
        QVERIFY(m_portal.log().contains(QStringLiteral("/login.php")));
        QVERIFY(!m_portal.log().contains(QStringLiteral("SecretPw42")));
    }
};

KAVO_TEST(TestPortalApis)

#include "tst_portalapis.moc"
