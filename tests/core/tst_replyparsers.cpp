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
};
KAVO_TEST(TestReplyParsers)

#include "tst_replyparsers.moc"
