#include "core/endpoints.h"
#include "web/bridgeobject.h"
#include "portalclient.h"
#include "support/portalprocess.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include <QJsonArray>
#include <QJsonObject>
#include <QWebEngineView>

// The demo pages in a real web engine, speaking to the client's bridge object.
class TestPortalPages : public TestCase
{
    Q_OBJECT
private:
    PortalProcess m_portal;
    QWebEngineView *m_view = nullptr;
    QSignalSpy *m_messages = nullptr;

    bool load(const QUrl &url)
    {
        m_messages->clear();
        m_view->load(url);
        return waitForLoad(m_view, 30000);
    }
    QVariant eval(const QString &script) { return runJs(m_view->page(), script); }
    bool click(const QString &selector)
    {
        const QString script = QStringLiteral("(function(){const e=document.querySelector(%1);"
                                              "if(!e)return false;e.click();return true;})()").arg(jsString(selector));
        return QTest::qWaitFor([&] { return eval(script).toBool(); }, 10000);
    }
    // The json of the next message the page sends with this code, taken off
    // the list; invalid when none came.
    QVariant next(int code, int msec = 10000)
    {
        QVariant found;
        static_cast<void>(QTest::qWaitFor([&] { // the caller checks what was found
            for (int i = 0; i < m_messages->size() && !found.isValid(); ++i) {
                if (m_messages->at(i).at(0).toInt() == code)
                    found = m_messages->takeAt(i).at(2);
            }
            return found.isValid();
        }, msec));
        return found;
    }
    QJsonObject nextObject(int code) { return QJsonDocument::fromJson(next(code).toString().toUtf8()).object(); }
    static QString role(QWebEngineView *view)
    {
        return runJs(view->page(), QStringLiteral("document.getElementById('game-role').textContent")).toString();
    }

private slots:
    void initTestCase() { QVERIFY(m_portal.start()); }

    void init()
    {
        m_view = new QWebEngineView;
        m_view->resize(1052, 860);
        m_messages = new QSignalSpy(installBridge(m_view), &BridgeObject::messageReceived);
    }

    void cleanup()
    {
        delete m_messages;
        delete m_view;
    }

    void loginPageSendsItsCodesAndLogsInAgainWhenAsked()
    {
        QVERIFY(load(m_portal.url(QStringLiteral("/Kavobox2"))));
        QVERIFY(next(17).isValid());
        for (const auto &control : QList<QPair<QString, int>>{{QStringLiteral("#btn-close"), 1}, {QStringLiteral("#btn-min"), 3},
                                                             {QStringLiteral("#link-register"), 12},
                                                             {QStringLiteral("#link-forgot"), 15},
                                                             {QStringLiteral("#btn-wx"), 90}, {QStringLiteral("#btn-qq"), 91}}) {
            QVERIFY(click(control.first));
            QVERIFY2(next(control.second).isValid(), qPrintable(control.first));
        }
        const QString user = QStringLiteral("玩家 a&b");
        eval(QStringLiteral("document.getElementById('username').value=%1; document.getElementById('password').value=%2;")
                 .arg(jsString(user), jsString(QStringLiteral("p&ss#1+2 %=中"))));
        QVERIFY(click(QStringLiteral("#btn-login")));
        QCOMPARE(nextObject(2)[QStringLiteral("name")].toString(), user);
        // The client's automatic login: the page remembers the user.
        emit m_view->findChild<BridgeObject *>()->SigSendMessageToJS(QStringLiteral("autoLogin"));
        QCOMPARE(nextObject(2)[QStringLiteral("name")].toString(), user);
    }

    void theDemoLoginHappensByItselfAndOnRequest()
    {
        PortalProcess demo;
        QVERIFY(demo.start({QStringLiteral("--demo-login"), QStringLiteral("演示玩家")}));
        QVERIFY(load(demo.url(QStringLiteral("/Kavobox2"))));
        QCOMPARE(nextObject(2)[QStringLiteral("name")].toString(), QStringLiteral("演示玩家"));
        emit m_view->findChild<BridgeObject *>()->SigSendMessageToJS(QStringLiteral("autoLogin"));
        QCOMPARE(nextObject(2)[QStringLiteral("name")].toString(), QStringLiteral("演示玩家"));
        emit m_view->findChild<BridgeObject *>()->SigSendMessageToJS(QStringLiteral("somethingElse"));
        QVERIFY(!next(2, 1500).isValid());
    }

    void socialLoginOpensTheMemberSession()
    {
        QVERIFY(load(m_portal.url(QStringLiteral("/api/third_api/qq_login/qq_login.php"))));
        QVERIFY(click(QStringLiteral("#btn-authorize")));
        QCOMPARE(nextObject(2)[QStringLiteral("name")].toString(), QStringLiteral("QQ玩家"));
        QVERIFY(load(m_portal.url(QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1"))));
        QCOMPARE(role(m_view), QStringLiteral("当前角色：QQ玩家"));
    }

    // Two tabs of one web profile: reloading the member's game after an alt
    // account entered the same game plays as the alt.
    void aReloadPlaysAsTheLastAccountToEnterTheGame()
    {
        QVERIFY(load(m_portal.url(QStringLiteral("/Kavobox2"))));
        eval(QStringLiteral("document.getElementById('username').value='demo';"
                            "document.getElementById('password').value='demo123';"));
        QVERIFY(click(QStringLiteral("#btn-login")));
        QCOMPARE(nextObject(2)[QStringLiteral("name")].toString(), QStringLiteral("demo"));

        QVERIFY(load(m_portal.url(QStringLiteral("/entergame.php?game=xyj&server=s1&client=1&tobox=1"))));
        QCOMPARE(role(m_view), QStringLiteral("当前角色：demo"));
        QTRY_COMPARE(m_view->url().path(), QStringLiteral("/play/game.php"));
        m_view->reload();
        QVERIFY(waitForLoad(m_view));
        QCOMPARE(role(m_view), QStringLiteral("当前角色：demo"));

        const QString ckcode = get(m_portal.url(QStringLiteral("/login.php?action=get_user&username=kavo_alt1&password=alt123")))
                                   .json()[QStringLiteral("ckcode")].toString();
        QWebEngineView alt; // the same (default) profile
        alt.load(m_portal.url(QStringLiteral("/entergame.php?game=xyj&server=s1&boxSmall=kavo_alt1&ckcode=%1&tobox=1")
                                  .arg(ckcode)));
        QVERIFY(waitForLoad(&alt));
        QCOMPARE(role(&alt), QStringLiteral("当前角色：kavo_alt1"));

        m_view->reload();
        QVERIFY(waitForLoad(m_view));
        QCOMPARE(role(m_view), QStringLiteral("当前角色：kavo_alt1"));
    }

    void homePageCardsDriveTheClient()
    {
        QVERIFY(load(m_portal.url(QStringLiteral("/landers.html"))));
        QVERIFY(click(QStringLiteral(".game-card .actions button:nth-child(2)"))); // 打开
        const QJsonObject open = nextObject(3);
        QVERIFY(!open[QStringLiteral("title")].toString().isEmpty());
        QCOMPARE(get(QUrl(open[QStringLiteral("url")].toString())).status, 200);
        QVERIFY(click(QStringLiteral(".game-card .actions button:nth-child(3)"))); // 官网
        QCOMPARE(QUrl(nextObject(888)[QStringLiteral("url")].toString()).scheme(), QStringLiteral("http"));

        QVERIFY(click(QStringLiteral("#upcoming button"))); // 开服提醒
        const QJsonObject remind = nextObject(100);
        QVERIFY(!remind[QStringLiteral("game")].toString().isEmpty() && !remind[QStringLiteral("server")].toString().isEmpty());
        bool isNumber = false;
        const qint64 time = remind[QStringLiteral("time")].toString().toLongLong(&isNumber);
        QVERIFY2(isNumber, "the opening time travels as a string of digits");
        QVERIFY(time > QDateTime::currentSecsSinceEpoch());

        eval(QStringLiteral("document.getElementById('home-search-input').value='西游';"));
        QVERIFY(click(QStringLiteral("#home-search button")));
        QVERIFY(next(16).isValid());

        // Site messages send bare addresses.
        QVERIFY(load(m_portal.url(QStringLiteral("/Kavobox2/znx.html"))));
        QVERIFY(click(QStringLiteral("#messages li .title"))); // a message, not the loading line
        const QUrl address(next(1).toString());
        QCOMPARE(address.scheme(), QStringLiteral("http"));
        QCOMPARE(get(address).status, 200);
    }

    void indexPageFillsInGamesAndVersion()
    {
        const int games = get(m_portal.url(QStringLiteral("/api/games.json"))).json()[QStringLiteral("games")].toArray().size();
        QVERIFY(games > 0);
        QVERIFY(load(m_portal.url(QStringLiteral("/"))));
        QTRY_COMPARE(eval(QStringLiteral("document.querySelectorAll('#game-links a').length")).toInt(), games);
        QTRY_COMPARE(eval(QStringLiteral("document.getElementById('latest-version').textContent")).toString(),
                     QStringLiteral("v2.0.0"));
        const QString link = eval(QStringLiteral("document.querySelector('#game-links a').href")).toString();
        QCOMPARE(get(QUrl(link), kBrowserAccept).status, 200);
    }
};
KAVO_TEST(TestPortalPages)

#include "tst_portalpages.moc"
