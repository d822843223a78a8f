#include "core/endpoints.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {
struct Reply {
    int status = 0;
    QByteArray body;
    QByteArray contentType;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QList<QNetworkReply::RawHeaderPair> headers;
    QJsonDocument json() const { return QJsonDocument::fromJson(body); }
    QByteArray header(const QByteArray &name) const
    {
        for (const auto &pair : headers) {
            if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
                return pair.second;
        }
        return {};
    }
};

// accept: the Accept header, e.g. what a browser sends when it navigates.
Reply get(const QUrl &url, const QByteArray &accept = {})
{
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    if (!accept.isEmpty())
        request.setRawHeader("Accept", accept);
    QNetworkReply *reply = network.get(request);
    QSignalSpy done(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        done.wait(10000);
    Reply result{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
                 reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(), reply->error(), reply->rawHeaderPairs()};
    delete reply;
    return result;
}

// The generated downloads' bytes: byte n is n mod 251.
bool hasDownloadPattern(const QByteArray &body)
{
    for (int i = 0; i < body.size(); ++i) {
        if (quint8(body.at(i)) != i % 251)
            return false;
    }
    return true;
}

const QByteArray kBrowserAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
} // namespace

// The client's side of the channel as the pages see it: an object named
// "interactObj" with JSSendMessage and SigSendMessageToJS. It records what the
// pages send, so the demo pages can be checked in a real web engine.
class PageProbe : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void JSSendMessage(int code, const QString &str, const QString &json)
    {
        emit received(code, str, json);
    }
signals:
    void received(int code, QString str, QString json);
    void SigSendMessageToJS(QString strParameter);
};

// One page in an off-the-record profile (nothing stored between tests),
// with the probe on its channel.
class PageHarness
{
public:
    PageHarness()
        : m_page(new QWebEnginePage(&m_profile, &m_view))
    {
        m_channel.registerObject(QStringLiteral("interactObj"), &m_probe);
        m_page->setWebChannel(&m_channel);
        m_view.setPage(m_page);
        m_view.resize(1052, 860);
    }

    bool load(const QUrl &url)
    {
        QSignalSpy loaded(m_page, &QWebEnginePage::loadFinished);
        m_page->load(url);
        return loaded.wait(30000) && loaded.first().first().toBool();
    }

    QVariant eval(const QString &script) { return runJs(m_page, script); }

    // Clicks the first element matching selector once it exists.
    bool click(const QString &selector)
    {
        const QString script = QStringLiteral("(function(){const e=document.querySelector(%1);"
                                              "if(!e)return false;e.click();return true;})()")
                                   .arg(jsString(selector));
        return QTest::qWaitFor([&] { return eval(script).toBool(); }, 10000);
    }

    // The next message the page sends with this code: (str, json).
    QStringList waitFor(int code, int msec = 10000)
    {
        QStringList found;
        const bool seen = QTest::qWaitFor([&] {
            while (m_next < m_messages.size()) {
                const QList<QVariant> message = m_messages.at(m_next++);
                if (message.at(0).toInt() == code) {
                    found = QStringList{message.at(1).toString(), message.at(2).toString()};
                    return true;
                }
            }
            return false;
        }, msec);
        return seen ? found : QStringList();
    }

    void sendToPage(const QString &text) { emit m_probe.SigSendMessageToJS(text); }

private:
    QWebEngineProfile m_profile; // off the record; must outlive the page
    PageProbe m_probe;
    QWebChannel m_channel;
    QWebEngineView m_view;
    QWebEnginePage *m_page;
    QSignalSpy m_messages{&m_probe, &PageProbe::received};
    int m_next = 0;
};

QJsonObject jsonObject(const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    return document.isObject() ? document.object() : QJsonObject();
}

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

class TestPortalPages : public QObject
{
    Q_OBJECT
private:
    PortalProcess m_portal;

private slots:
    void initTestCase() { QVERIFY(m_portal.start()); }

    void loginPageSendsItsCodes()
    {
        PageHarness page;
        QVERIFY(page.load(m_portal.url(QStringLiteral("/Kavobox2"))));
        QVERIFY(!page.waitFor(17).isEmpty());
        const QList<QPair<QString, int>> controls{{QStringLiteral("#btn-close"), 1},     {QStringLiteral("#btn-min"), 3},
                                                  {QStringLiteral("#link-register"), 12}, {QStringLiteral("#link-forgot"), 15},
                                                  {QStringLiteral("#btn-wx"), 90},        {QStringLiteral("#btn-qq"), 91}};
        for (const auto &control : controls) {
            QVERIFY(page.click(control.first));
            QVERIFY2(!page.waitFor(control.second).isEmpty(), qPrintable(control.first));
        }
    }

    void loginFormChecksTheAccount_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("line");
        QTest::newRow("wrong") << "demo" << "nope" << QStringLiteral("账号或密码错误");
        QTest::newRow("locked") << "locked_user" << "locked123" << QStringLiteral("账号已锁定，请联系客服");
        QTest::newRow("valid, with symbols") << QStringLiteral("玩家 a&b") << QStringLiteral("p&ss#1+2 %=中")
                                             << QStringLiteral("登录成功");
    }

    void loginFormChecksTheAccount()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, line);
        PageHarness page;
        QVERIFY(page.load(m_portal.url(QStringLiteral("/Kavobox2"))));
        page.eval(QStringLiteral("document.getElementById('username').value=%1;"
                                 "document.getElementById('password').value=%2;")
                      .arg(jsString(user), jsString(password)));
        QVERIFY(page.click(QStringLiteral("#btn-login")));
        QTRY_COMPARE(page.eval(QStringLiteral("document.getElementById('login-error').textContent")).toString(), line);
        if (line == QStringLiteral("登录成功")) {
            QCOMPARE(jsonObject(page.waitFor(2).value(1)).value(QStringLiteral("name")).toString(), user);
            // The page remembers the user and logs in again when asked to.
            page.sendToPage(QStringLiteral("autoLogin"));
            QCOMPARE(jsonObject(page.waitFor(2).value(1)).value(QStringLiteral("name")).toString(), user);
        }
    }

    void demoLoginHappensByItselfAndOnRequest()
    {
        PortalProcess demo;
        QVERIFY(demo.start({QStringLiteral("--demo-login"), QStringLiteral("演示玩家")}));
        PageHarness page;
        QVERIFY(page.load(demo.url(QStringLiteral("/Kavobox2"))));
        QCOMPARE(jsonObject(page.waitFor(2).value(1)).value(QStringLiteral("name")).toString(), QStringLiteral("演示玩家"));
        page.sendToPage(QStringLiteral("autoLogin"));
        QCOMPARE(jsonObject(page.waitFor(2).value(1)).value(QStringLiteral("name")).toString(), QStringLiteral("演示玩家"));
        page.sendToPage(QStringLiteral("somethingElse"));
        QVERIFY(page.waitFor(2, 1500).isEmpty());
    }

    void homePageCardsDriveTheClient()
    {
        PageHarness page;
        QVERIFY(page.load(m_portal.url(QStringLiteral("/landers.html"))));

        QVERIFY(page.click(QStringLiteral(".game-card .actions button"))); // 进入游戏
        const QJsonObject enter = jsonObject(page.waitFor(10).value(1));
        const QUrl enterUrl(enter.value(QStringLiteral("url")).toString());
        QVERIFY(!enter.value(QStringLiteral("title")).toString().isEmpty());
        QCOMPARE(enterUrl.host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(enterUrl.path(), QStringLiteral("/entergame.php"));
        QVERIFY2(QRegularExpression(QStringLiteral("^game=\\w+&server=\\w+&client=1&tobox=1$")).match(enterUrl.query()).hasMatch(),
                 qPrintable(enterUrl.toString()));
        QCOMPARE(get(enterUrl).status, 200);

        QVERIFY(page.click(QStringLiteral(".game-card .actions button:nth-child(2)"))); // 打开
        const QJsonObject open = jsonObject(page.waitFor(3).value(1));
        QVERIFY(!open.value(QStringLiteral("title")).toString().isEmpty());
        QCOMPARE(get(QUrl(open.value(QStringLiteral("url")).toString())).status, 200);

        QVERIFY(page.click(QStringLiteral(".game-card .actions button:nth-child(3)"))); // 官网
        QCOMPARE(QUrl(jsonObject(page.waitFor(888).value(1)).value(QStringLiteral("url")).toString()).scheme(),
                 QStringLiteral("http"));

        QVERIFY(page.click(QStringLiteral("#upcoming button"))); // 开服提醒
        const QJsonObject remind = jsonObject(page.waitFor(100).value(1));
        QVERIFY(!remind.value(QStringLiteral("game")).toString().isEmpty());
        QVERIFY(!remind.value(QStringLiteral("server")).toString().isEmpty());
        bool isNumber = false;
        const qint64 time = remind.value(QStringLiteral("time")).toString().toLongLong(&isNumber);
        QVERIFY2(isNumber, "the opening time travels as a string of digits");
        QVERIFY(time > QDateTime::currentSecsSinceEpoch());

        page.eval(QStringLiteral("document.getElementById('home-search-input').value='西游';"));
        QVERIFY(page.click(QStringLiteral("#home-search button")));
        QVERIFY(!page.waitFor(16).isEmpty());
    }

    void indexPageFillsInGamesAndVersion()
    {
        const int games = get(m_portal.url(QStringLiteral("/api/games.json"))).json()[QStringLiteral("games")].toArray().size();
        QVERIFY(games > 0);
        PageHarness page;
        QVERIFY(page.load(m_portal.url(QStringLiteral("/"))));
        QTRY_COMPARE(page.eval(QStringLiteral("document.querySelectorAll('#game-links a').length")).toInt(), games);
        QTRY_COMPARE(page.eval(QStringLiteral("document.getElementById('latest-version').textContent")).toString(),
                     QStringLiteral("v2.0.0"));
        const QString link = page.eval(QStringLiteral("document.querySelector('#game-links a').href")).toString();
        QCOMPARE(get(QUrl(link), kBrowserAccept).status, 200);
    }

    void siteMessagesSendBareAddresses()
    {
        PageHarness page;
        QVERIFY(page.load(m_portal.url(QStringLiteral("/Kavobox2/znx.html"))));
        QVERIFY(page.click(QStringLiteral("#messages li .title"))); // a message, not the loading line
        const QStringList message = page.waitFor(1);
        QVERIFY(!message.isEmpty());
        const QUrl address(message.at(1));
        QCOMPARE(address.scheme(), QStringLiteral("http"));
        QCOMPARE(get(address).status, 200);
    }

    void socialPagesReportALogin_data()
    {
        QTest::addColumn<int>("address");
        QTest::newRow("qq") << int(Endpoints::Address::QqLogin);
        QTest::newRow("wechat") << int(Endpoints::Address::WeChatLogin);
    }

    void socialPagesReportALogin()
    {
        QFETCH(int, address);
        m_portal.useForAllRoles();
        PageHarness page;
        QVERIFY(page.load(Endpoints::url(Endpoints::Address(address))));
        QVERIFY(page.click(QStringLiteral("#btn-authorize")));
        QVERIFY(!jsonObject(page.waitFor(2).value(1)).value(QStringLiteral("name")).toString().isEmpty());
    }
};

int main(int argc, char **argv)
{
    return runTests<TestPortalApis, TestPortalOptions, TestPortalPages>(argc, argv);
}

#include "tst_portal.moc"
