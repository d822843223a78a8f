#include "core/replyparsers.h"
#include "support/testmain.h"

namespace {
// JSON written with single quotes, for legibility.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}
} // namespace

class TestReplyParsers : public TestCase
{
    Q_OBJECT
private slots:
    void updateReply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("versionCode");
        QTest::addColumn<bool>("force");
        QTest::newRow("newer, forced") << json("{'version_name':'v3.0.0','version_code':3,'force':1}") << true << 3 << true;
        QTest::newRow("code as text") << json("{'version_code':'4','force':'1'}") << true << 4 << true;
        QTest::newRow("force other than 1") << json("{'version_code':2,'force':2}") << true << 2 << false;
        QTest::newRow("empty") << QByteArray() << false << 0 << false;
        QTest::newRow("not JSON") << QByteArray("<html>502</html>") << false << 0 << false;
        QTest::newRow("truncated") << json("{'version_code':3,'fo") << false << 0 << false;
        QTest::newRow("array") << json("[{'version_code':3}]") << false << 0 << false;
        QTest::newRow("no code, forced") << json("{'force':1}") << true << 0 << true;
        QTest::newRow("code of another type") << json("{'version_code':'three'}") << false << 0 << false;
        QTest::newRow("fraction") << json("{'version_code':2.5}") << false << 0 << false;
        QTest::newRow("beyond int") << json("{'version_code':1e20}") << false << 0 << false;
        QTest::newRow("a key named twice") << json("{'version_code':3,'version_code':[3]}") << false << 0 << false;
        QTest::newRow("huge") << json("{'version_code':3,'pad':'") + QByteArray(4 << 20, 'x') + "\"}" << true << 3 << false;
    }

    void updateReply()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, ok);
        QFETCH(int, versionCode);
        QFETCH(bool, force);
        const Parsed<UpdateInfo> parsed = parseUpdateReply(body);
        QCOMPARE(parsed.ok(), ok);
        QCOMPARE(parsed.error.isEmpty(), ok);
        QCOMPARE(parsed.value.versionCode, ok ? versionCode : 0);
        QCOMPARE(parsed.value.force, force);
    }

    void gameAndServerLists_data()
    {
        QTest::addColumn<bool>("games");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected"); // code:name, ... or "error"
        QTest::newRow("empty") << true << QByteArray() << "error";
        QTest::newRow("not JSON") << true << QByteArray("<html>") << "error";
        QTest::newRow("an object") << false << json("{'server':'s1'}") << "error";
        QTest::newRow("games by name, in code units, later one wins")
            << true << json("[{'tag':'b','gamename':'西游'},{'tag':'a','gamename':'Zed'},{'tag':'c','gamename':'西游'}]")
            << "a:Zed,c:西游";
        QTest::newRow("numbers as text, odd elements skipped")
            << true << json("[3,null,'x',{'tag':7,'gamename':42},{'gamename':'no tag'},{'tag':'t'}]") << "t:,7:42";
        QTest::newRow("no games at all") << true << json("[]") << "";
        QTest::newRow("nothing but junk") << false << json("[{'server':{},'gamename':'x'},[],7]") << "error";
        QTest::newRow("servers in reply order")
            << false << json("[{'server':'s2','gamename':'双线2服'},{'server':'s1','gamename':'双线1服'},{'gamename':'x'}]")
            << "s2:双线2服,s1:双线1服";
    }

    void gameAndServerLists()
    {
        QFETCH(bool, games);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const Parsed<QList<PortalChoice>> parsed = games ? parseGameList(body) : parseServerList(body);
        QStringList got;
        for (const PortalChoice &choice : parsed.value)
            got << choice.code + QLatin1Char(':') + choice.name;
        QCOMPARE(parsed.ok() ? got.join(QLatin1Char(',')) : QStringLiteral("error"), expected);
    }

    void loginReply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected"); // valid:ckcode, refused, locked or error
        QTest::newRow("valid") << json("{'msg':1,'code':'0','ckcode':'c0ffee'}") << "valid:c0ffee";
        QTest::newRow("valid without a check code") << json("{'msg':1}") << "error";
        QTest::newRow("msg as text") << json("{'msg':'1','ckcode':'c0ffee'}") << "refused";
        QTest::newRow("locked") << json("{'msg':0,'code':'-2'}") << "locked";
        QTest::newRow("code as a number") << json("{'msg':0,'code':-2}") << "refused";
        QTest::newRow("not JSON") << QByteArray("oops") << "error";
        QTest::newRow("an array") << json("[{'msg':1,'ckcode':'c'}]") << "error";
        QTest::newRow("null") << QByteArray("null") << "error";
    }

    void loginReply()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const Parsed<LoginReply> parsed = parseLoginReply(body);
        QString got = QStringLiteral("error");
        if (parsed.ok())
            got = parsed.value.valid ? QStringLiteral("valid:") + parsed.value.ckcode
                                     : parsed.value.locked ? QStringLiteral("locked") : QStringLiteral("refused");
        QCOMPARE(got, expected);
    }
};
KAVO_TEST(TestReplyParsers)

#include "tst_replyparsers.moc"
