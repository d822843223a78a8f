#include "core/endpoints.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace {
struct Reply {
    int status = 0;
    QByteArray body;
    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
};

Reply get(const QUrl &url)
{
    QNetworkAccessManager network;
    QNetworkReply *reply = network.get(QNetworkRequest(url));
    QSignalSpy done(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        done.wait(10000);
    Reply result{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
    delete reply;
    return result;
}
} // namespace

class TestPortalApis : public QObject
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

    void badRequestsGetShortJsonErrors_data()
    {
        QTest::addColumn<QString>("pathAndQuery");
        QTest::addColumn<int>("status");
        QTest::newRow("login without action") << "/login.php?username=a&password=b" << 400;
        QTest::newRow("login, other action") << "/login.php?action=drop&username=a&password=b" << 400;
        QTest::newRow("login without password") << "/login.php?action=get_user&username=a" << 400;
        QTest::newRow("server list without game") << "/api/allserver_series.php?check=Kavobox" << 400;
        QTest::newRow("enter without server") << "/entergame.php?game=x" << 400;
        QTest::newRow("broken escapes") << "/login.php?action=get_user&username=%zz&password=%" << 200;
        QTest::newRow("unknown path") << "/no/such/page" << 404;
    }

    void badRequestsGetShortJsonErrors()
    {
        QFETCH(QString, pathAndQuery);
        QFETCH(int, status);
        const Reply reply = get(QUrl(QStringLiteral("http://") + m_portal.hostPort() + pathAndQuery, QUrl::TolerantMode));
        QCOMPARE(reply.status, status);
        QVERIFY2(reply.json().isObject(), reply.body.constData());
        if (status >= 400)
            QVERIFY(!reply.json().object().value(QStringLiteral("error")).toString().isEmpty());
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

class TestPortalOptions : public QObject
{
    Q_OBJECT
private slots:
    void updateDefaults()
    {
        PortalProcess portal;
        QVERIFY(portal.start());
        const QJsonObject update = get(portal.url(QStringLiteral("/update/"))).json().object();
        QCOMPARE(update[QStringLiteral("version_code")].toInt(), 2);
        QCOMPARE(update[QStringLiteral("force")].toInt(), 0);
    }

    void updateFromOptions()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--version-code"), QStringLiteral("7"), QStringLiteral("--force"), QStringLiteral("1")}));
        const QJsonObject update = get(portal.url(QStringLiteral("/update/"))).json().object();
        QCOMPARE(update[QStringLiteral("version_code")].toInt(), 7);
        QCOMPARE(update[QStringLiteral("force")].toInt(), 1);
    }

    void demoLoginNameReachesTheLoginPage()
    {
        PortalProcess portal;
        QVERIFY(portal.start({QStringLiteral("--demo-login"), QStringLiteral("演示</script>\"")}));
        const QByteArray page = get(portal.url(QStringLiteral("/Kavobox2"))).body;
        QVERIFY(page.contains("qrc:///qtwebchannel/qwebchannel.js"));
        QVERIFY2(!page.contains("演示</script>"), "the name must not be able to close the script");
    }
};

int main(int argc, char **argv)
{
    return runTests<TestPortalApis, TestPortalOptions>(argc, argv);
}

#include "tst_portal.moc"
