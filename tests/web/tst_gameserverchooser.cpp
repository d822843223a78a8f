#include "core/endpoints.h"
#include "web/gameserverchooser.h"
#include "core/portalapi.h"
#include "support/httpfixture.h"
#include "support/testmain.h"
#include <QComboBox>

namespace {
const QString kGames = QStringLiteral("/api/allserver_series.php?act=getgame");

QString serversOf(const QString &tag)
{
    return QStringLiteral("/api/allserver_series.php?limit=&start=0&end=0&check=Kavobox&gamename=") + tag;
}

QStringList texts(QComboBox *box)
{
    QStringList all;
    for (int i = 0; i < box->count(); ++i)
        all << box->itemText(i);
    return all;
}
} // namespace

class TestGameServerChooser : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;
    PortalApi m_api;

    QComboBox *gameBox(GameServerChooser &chooser) { return chooser.findChildren<QComboBox *>().at(0); }
    QComboBox *serverBox(GameServerChooser &chooser) { return chooser.findChildren<QComboBox *>().at(1); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        m_http.setBody(kGames, R"([{"tag":"sg","gamename":"三国"},{"tag":"xy","gamename":"西游"}])", "application/json");
        m_http.setBody(serversOf(QStringLiteral("sg")), R"([{"server":"s1","gamename":"三国一服"}])", "application/json");
        m_http.setBody(serversOf(QStringLiteral("xy")),
                       R"([{"server":"s2","gamename":"西游二服"},{"server":"s9","gamename":"西游九服"}])", "application/json");
    }

    void theFirstServerOrTheProposalIsChosen()
    {
        // Without a proposal, or with one the lists do not hold: the first game's first server.
        for (const QString &proposed : {QString(), QStringLiteral("没有这个游戏")}) {
            GameServerChooser chooser(&m_api);
            if (!proposed.isNull())
                chooser.propose(proposed, QString());
            QSignalSpy servers(&chooser, &GameServerChooser::serversArrived);
            QVERIFY(servers.wait(5000));
            QCOMPARE(texts(gameBox(chooser)), (QStringList{"三国", "西游"}));
            QCOMPARE(chooser.currentServer(), (PortalChoice{QStringLiteral("s1"), QStringLiteral("三国一服")}));
        }
        GameServerChooser chooser(&m_api);
        chooser.propose(QStringLiteral("西游"), QStringLiteral("西游九服"));
        QSignalSpy servers(&chooser, &GameServerChooser::serversArrived);
        QVERIFY(servers.wait(5000));
        QCOMPARE(chooser.currentGame(), (PortalChoice{QStringLiteral("xy"), QStringLiteral("西游")}));
        QCOMPARE(chooser.currentServer().code, QStringLiteral("s9"));
    }

    void aLateServerListForAnotherGameIsDropped()
    {
        m_http.setDelay(serversOf(QStringLiteral("sg")), 1500);
        GameServerChooser chooser(&m_api);
        QSignalSpy games(&chooser, &GameServerChooser::gamesArrived);
        QSignalSpy servers(&chooser, &GameServerChooser::serversArrived);
        QVERIFY(games.wait(5000));
        gameBox(chooser)->setCurrentIndex(1); // 西游, while 三国's servers are on their way
        QVERIFY(servers.wait(5000));
        QTest::qWait(2000);
        QCOMPARE(servers.count(), 1);
        QCOMPARE(texts(serverBox(chooser)), (QStringList{"西游二服", "西游九服"}));
        m_http.setDelay(serversOf(QStringLiteral("sg")), 0);

        // Nor does a reply reach a chooser that is gone.
        m_http.setDelay(kGames, 500);
        delete new GameServerChooser(&m_api);
        QTest::qWait(800);
        m_http.setDelay(kGames, 0);
    }

    void aFailedListIsAskedForAgainAtTheNextShowing()
    {
        Endpoints::setHost(Endpoints::Role::Member, unusedHostPort());
        const QRegularExpression failed(QStringLiteral("^Failed: .*/api/allserver_series.php "));
        QTest::ignoreMessage(QtWarningMsg, failed);
        GameServerChooser chooser(&m_api);
        QTRY_COMPARE(chooser.problem(), QStringLiteral("无法连接到服务器，请稍后重试"));
        QCOMPARE(gameBox(chooser)->count(), 0);
        QVERIFY(!chooser.gamesLoaded() && !chooser.hasChoice());

        // The games come, the first game's servers answer with an error.
        Endpoints::setHost(Endpoints::Role::Member, m_http.hostPort());
        const QByteArray servers = R"([{"server":"s1","gamename":"三国一服"}])";
        m_http.setBody(serversOf(QStringLiteral("sg")), "oops", "text/plain", 500);
        QTest::ignoreMessage(QtWarningMsg, failed);
        QSignalSpy games(&chooser, &GameServerChooser::gamesArrived);
        chooser.show();
        QVERIFY(games.wait(5000));
        QCOMPARE(gameBox(chooser)->count(), 2);
        QTRY_COMPARE(chooser.problem(), QStringLiteral("服务器繁忙，请稍后重试"));
        QVERIFY(!chooser.hasChoice());

        m_http.setBody(serversOf(QStringLiteral("sg")), servers, "application/json");
        QSignalSpy arrived(&chooser, &GameServerChooser::serversArrived);
        chooser.hide();
        chooser.show();
        QVERIFY(arrived.wait(5000));
        QVERIFY(chooser.hasChoice() && chooser.problem().isEmpty());
    }
};
KAVO_TEST(TestGameServerChooser)

#include "tst_gameserverchooser.moc"
