#include "portalclient.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include <QJsonArray>
#include <memory>

// The demo pages in a real web engine, speaking to the client's bridge object.
class TestPortalPages : public TestCase
{
    Q_OBJECT
private:
    PortalProcess m_portal;
    std::unique_ptr<BridgedPage> m_page;

    bool load(const QString &pathAndQuery) { return m_page->load(m_portal.url(pathAndQuery)); }
    QVariant eval(const QString &script) { return runJs(m_page->view.page(), script); }
    bool click(const QString &selector)
    {
        const QString script = QStringLiteral("(function(){const e=document.querySelector(%1);"
                                              "if(!e)return false;e.click();return true;})()").arg(jsString(selector));
        return QTest::qWaitFor([&] { return eval(script).toBool(); }, 10000);
    }
    bool sent(int code, int msec = 10000) { return !m_page->waitFor(code, msec).isEmpty(); }
    QString nextName() { return m_page->waitForObject(2)[QStringLiteral("name")].toString(); }
    void sendToPage(const QString &message) { emit m_page->view.findChild<BridgeObject *>()->SigSendMessageToJS(message); }

private slots:
    void initTestCase() { QVERIFY(m_portal.start()); }

    void init()
    {
        m_page = std::make_unique<BridgedPage>();
        m_page->view.resize(1052, 860);
    }

    void cleanup() { m_page.reset(); }

    void loginPageSendsItsCodesAndLogsInAgainWhenAsked()
    {
        QVERIFY(load(QStringLiteral("/Kavobox2")));
        QVERIFY(sent(17));
        for (const auto &control : QList<QPair<QString, int>>{{QStringLiteral("#btn-close"), 1}, {QStringLiteral("#btn-min"), 3},
                                                             {QStringLiteral("#link-register"), 12},
                                                             {QStringLiteral("#link-forgot"), 15},
                                                             {QStringLiteral("#btn-wx"), 90}, {QStringLiteral("#btn-qq"), 91}}) {
            QVERIFY(click(control.first));
            QVERIFY2(sent(control.second), qPrintable(control.first));
        }
        const QString user = QStringLiteral("玩家 a&b");
        eval(QStringLiteral("document.getElementById('username').value=%1; document.getElementById('password').value=%2;")
                 .arg(jsString(user), jsString(QStringLiteral("p&ss#1+2 %=中"))));
        QVERIFY(click(QStringLiteral("#btn-login")));
        QCOMPARE(nextName(), user);
        // The client's automatic login: the page remembers the user.
        sendToPage(QStringLiteral("autoLogin"));
        QCOMPARE(nextName(), user);
    }

    void theDemoLoginHappensByItselfAndOnRequest()
    {
        PortalProcess demo;
        QVERIFY(demo.start({QStringLiteral("--demo-login"), QStringLiteral("演示玩家")}));
        QVERIFY(m_page->load(demo.url(QStringLiteral("/Kavobox2"))));
        QCOMPARE(nextName(), QStringLiteral("演示玩家"));
        sendToPage(QStringLiteral("autoLogin"));
        QCOMPARE(nextName(), QStringLiteral("演示玩家"));
        sendToPage(QStringLiteral("somethingElse"));
        QVERIFY(!sent(2, 1500));
    }

    void socialLoginOpensTheMemberSession()
    {
        QVERIFY(load(QStringLiteral("/api/third_api/qq_login/qq_login.php")));
        QVERIFY(click(QStringLiteral("#btn-authorize")));
        QCOMPARE(nextName(), QStringLiteral("QQ玩家"));
        QVERIFY(load(QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1")));
        QCOMPARE(eval(QStringLiteral("document.getElementById('game-role').textContent")).toString(),
                 QStringLiteral("当前角色：QQ玩家"));
    }

    void homePageCardsDriveTheClient()
    {
        QVERIFY(load(QStringLiteral("/landers.html")));
        QVERIFY(click(QStringLiteral(".game-card .actions button:nth-child(2)"))); // 打开
        const QJsonObject open = m_page->waitForObject(3);
        QVERIFY(!open[QStringLiteral("title")].toString().isEmpty());
        QCOMPARE(get(QUrl(open[QStringLiteral("url")].toString())).status, 200);
        QVERIFY(click(QStringLiteral(".game-card .actions button:nth-child(3)"))); // 官网
        QCOMPARE(QUrl(m_page->waitForObject(888)[QStringLiteral("url")].toString()).scheme(), QStringLiteral("http"));

        QVERIFY(click(QStringLiteral("#upcoming button"))); // 开服提醒
        const QJsonObject remind = m_page->waitForObject(100);
        QVERIFY(!remind[QStringLiteral("game")].toString().isEmpty() && !remind[QStringLiteral("server")].toString().isEmpty());
        bool isNumber = false;
        const qint64 time = remind[QStringLiteral("time")].toString().toLongLong(&isNumber);
        QVERIFY2(isNumber, "the opening time travels as a string of digits");
        QVERIFY(time > QDateTime::currentSecsSinceEpoch());

        eval(QStringLiteral("document.getElementById('home-search-input').value='西游';"));
        QVERIFY(click(QStringLiteral("#home-search button")));
        QVERIFY(sent(16));

        // Site messages send bare addresses.
        QVERIFY(load(QStringLiteral("/Kavobox2/znx.html")));
        QVERIFY(click(QStringLiteral("#messages li .title"))); // a message, not the loading line
        const QUrl address(m_page->waitFor(1).value(1));
        QCOMPARE(address.scheme(), QStringLiteral("http"));
        QCOMPARE(get(address).status, 200);
    }

    void indexPageFillsInGamesAndVersion()
    {
        const int games = get(m_portal.url(QStringLiteral("/api/games.json"))).json()[QStringLiteral("games")].toArray().size();
        QVERIFY(games > 0);
        QVERIFY(load(QStringLiteral("/")));
        QTRY_COMPARE(eval(QStringLiteral("document.querySelectorAll('#game-links a').length")).toInt(), games);
        QTRY_COMPARE(eval(QStringLiteral("document.getElementById('latest-version').textContent")).toString(),
                     QStringLiteral("v2.0.0"));
        const QString link = eval(QStringLiteral("document.querySelector('#game-links a').href")).toString();
        QCOMPARE(get(QUrl(link), kBrowserAccept).status, 200);
    }
};
KAVO_TEST(TestPortalPages)

#include "tst_portalpages.moc"
