#include "portalclient.h"
#include "support/testmain.h"

class TestPortalPages : public TestCase
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
KAVO_TEST(TestPortalPages)

#include "tst_portalpages.moc"
