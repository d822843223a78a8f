#include "core/endpoints.h"
#include "portalclient.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include <QJsonObject>
#include <QNetworkCookie>
#include <QUrlQuery>

// The demo portal over plain HTTP, as the client and a browser reach it.
class TestPortalApis : public TestCase
{
    Q_OBJECT
private:
    PortalProcess m_portal;

    QUrl memberLogin(const QString &query) const { return m_portal.url(QStringLiteral("/Kavobox2/session?") + query); }
    static QUrl enter(const QString &tag)
    {
        return Endpoints::url(Endpoints::Address::EnterGame, {tag, QStringLiteral("s1")});
    }
    static QUrl enterAsAlt(const QString &name, const QString &ckcode)
    {
        return Endpoints::url(Endpoints::Address::EnterGameAsAlt, {QStringLiteral("xyj"), QStringLiteral("s1"), name, ckcode});
    }
    static QString checkCode(const QString &name, const QString &password)
    {
        return get(Endpoints::url(Endpoints::Address::LoginApi, {name, password})).json()[QStringLiteral("ckcode")].toString();
    }
    // A page as a browser tab with this cookie store opens it.
    static Reply open(const QUrl &url, QNetworkCookieJar *cookies) { return get(url, kBrowserAccept, cookies); }
    // The player a game page shows; empty for any other page.
    static QString role(const Reply &page)
    {
        static const QRegularExpression kRole(QStringLiteral("id=\"game-role\">当前角色：([^<]*)<"));
        return kRole.match(QString::fromUtf8(page.body)).captured(1);
    }
    // The address a game page moves to once loaded: what a reload asks for.
    QUrl stayAddress(const Reply &page) const
    {
        static const QRegularExpression kInfo(QStringLiteral("id=\"game-info\">([^<]*)</script>"));
        const QString info = kInfo.match(QString::fromUtf8(page.body)).captured(1);
        return m_portal.url(QJsonDocument::fromJson(info.toUtf8())[QStringLiteral("address")].toString());
    }
    static QNetworkCookie setCookie(const Reply &reply)
    {
        return QNetworkCookie::parseCookies(reply.headers.value("set-cookie")).value(0);
    }

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
        QTRY_VERIFY(m_portal.log().contains(QStringLiteral("/login.php")));
        QVERIFY(!m_portal.log().contains(QStringLiteral("SecretPw42")));
    }

    void aLoginOpensTheMemberSessionThatGamesAreEnteredWith()
    {
        QNetworkCookieJar browser;
        QCOMPARE(role(open(enter(QStringLiteral("xyj")), &browser)), QStringLiteral("游客"));
        for (const QString &refused : {QStringLiteral("username=demo&password=demo12"),
                                       QStringLiteral("username=locked_user&password=locked123"),
                                       QStringLiteral("via=demo")}) { // this portal has no demo login
            const Reply reply = get(memberLogin(refused), {}, &browser);
            QVERIFY2(reply.json()[QStringLiteral("msg")].toInt() != 1 && !reply.headers.contains("set-cookie"),
                     qPrintable(refused));
        }

        const QNetworkCookie member = setCookie(get(memberLogin(QStringLiteral("username=demo&password=demo123")), {}, &browser));
        QCOMPARE(member.name(), QByteArray("kavo_member"));
        QCOMPARE(member.path(), QStringLiteral("/"));
        QVERIFY(member.isHttpOnly());
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(QString::fromLatin1(member.value())).hasMatch(),
                 member.value().constData());

        const Reply entered = open(enter(QStringLiteral("xyj")), &browser);
        QCOMPARE(role(entered), QStringLiteral("demo"));
        const QNetworkCookie game = setCookie(entered);
        QCOMPARE(game.name(), QByteArray("kavo_game_xyj"));
        QCOMPARE(game.path(), QStringLiteral("/play/"));
        QVERIFY(game.isHttpOnly());
        QVERIFY(game.value() != member.value());

        // The page the player stays on knows the account from the cookie
        // alone, however often it is reloaded; the box finds game and server
        // in its address (a detached game's top-up).
        const QUrl stay = stayAddress(entered);
        QCOMPARE(QUrlQuery(stay).queryItemValue(QStringLiteral("game")), QStringLiteral("xyj"));
        QCOMPARE(QUrlQuery(stay).queryItemValue(QStringLiteral("server")), QStringLiteral("s1"));
        for (int reload = 0; reload < 2; ++reload)
            QCOMPARE(role(open(stay, &browser)), QStringLiteral("demo"));
        const Reply stranger = open(stay, nullptr);
        QCOMPARE(stranger.status, 403);
        QVERIFY(role(stranger).isEmpty());

        for (const auto &social : QList<QPair<QString, QString>>{{QStringLiteral("qq"), QStringLiteral("QQ玩家")},
                                                                 {QStringLiteral("wx"), QStringLiteral("微信玩家")}}) {
            const Reply login = get(memberLogin(QStringLiteral("via=") + social.first), {}, &browser);
            QCOMPARE(login.json()[QStringLiteral("name")].toString(), social.second);
            QCOMPARE(role(open(enter(QStringLiteral("xyj")), &browser)), social.second);
        }

        QTRY_VERIFY(m_portal.log().contains(QStringLiteral("GET /entergame.php?game=xyj&server=s1&client=1&tobox=1 200")));
        QList<QNetworkCookie> ids = browser.cookiesForUrl(stay);
        ids << member << game;
        for (const QNetworkCookie &cookie : ids)
            QVERIFY2(!m_portal.log().contains(QString::fromLatin1(cookie.value())), "a session id in the log");
    }

    void anAltEntersOnlyWithItsOwnCheckCode()
    {
        QNetworkCookieJar browser;
        const QUrl stay = stayAddress(open(enter(QStringLiteral("xyj")), &browser));
        const QString ckcode = checkCode(QStringLiteral("kavo_alt1"), QStringLiteral("alt123"));
        for (const QUrl &refused : {enterAsAlt(QStringLiteral("kavo_alt2"), ckcode),
                                    enterAsAlt(QStringLiteral("kavo_alt1"), QString(32, QLatin1Char('0')))}) {
            const Reply reply = open(refused, &browser);
            QCOMPARE(reply.status, 403);
            QVERIFY(!reply.headers.contains("set-cookie"));
        }
        QCOMPARE(role(open(stay, &browser)), QStringLiteral("游客"));

        QCOMPARE(role(open(enterAsAlt(QStringLiteral("kavo_alt1"), ckcode), &browser)), QStringLiteral("kavo_alt1"));
        QCOMPARE(role(open(stay, &browser)), QStringLiteral("kavo_alt1"));
    }

    // Tabs that share one cookie store (one web profile) share each game's
    // cookie: the last account to enter a game owns it in all of them.
    void theLastAccountToEnterAGameOwnsItsCookie()
    {
        QNetworkCookieJar shared;
        QCOMPARE(get(memberLogin(QStringLiteral("username=demo&password=demo123")), {}, &shared).json()[QStringLiteral("msg")].toInt(),
                 1);
        const QUrl mainTab = stayAddress(open(enter(QStringLiteral("xyj")), &shared));
        const QUrl otherGameTab = stayAddress(open(enter(QStringLiteral("sgqy")), &shared));
        const QString ckcode = checkCode(QStringLiteral("kavo_alt1"), QStringLiteral("alt123"));
        const Reply alt = open(enterAsAlt(QStringLiteral("kavo_alt1"), ckcode), &shared);
        QCOMPARE(role(alt), QStringLiteral("kavo_alt1"));
        QCOMPARE(stayAddress(alt), mainTab);

        QCOMPARE(role(open(mainTab, &shared)), QStringLiteral("kavo_alt1")); // the main account's tab, reloaded
        QCOMPARE(role(open(otherGameTab, &shared)), QStringLiteral("demo"));

        // A store of its own keeps its own account and takes nothing from the shared one.
        QNetworkCookieJar own;
        const QString ckcode2 = checkCode(QStringLiteral("kavo_alt2"), QStringLiteral("alt456"));
        QCOMPARE(role(open(enterAsAlt(QStringLiteral("kavo_alt2"), ckcode2), &own)), QStringLiteral("kavo_alt2"));
        QCOMPARE(role(open(mainTab, &own)), QStringLiteral("kavo_alt2"));
        QCOMPARE(role(open(mainTab, &shared)), QStringLiteral("kavo_alt1"));
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
        const Reply demoLogin = get(portal.url(QStringLiteral("/Kavobox2/session?via=demo")));
        QCOMPARE(demoLogin.json()[QStringLiteral("name")].toString(), QStringLiteral("演示</script>\""));
        QCOMPARE(setCookie(demoLogin).name(), QByteArray("kavo_member"));
    }
};
KAVO_TEST(TestPortalApis)

#include "tst_portalapis.moc"
