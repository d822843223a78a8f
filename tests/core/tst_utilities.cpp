#include "core/utilities.h"
#include "support/testmain.h"
#include <QDir>
#include <QTemporaryDir>

class TestUtilities : public TestCase
{
    Q_OBJECT
private slots:
    void dirSizeCountsVisibleFilesOfTheTree()
    {
        QTemporaryDir dir;
        auto put = [](const QString &path, int bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(bytes, 'x'));
        };
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub/deeper")));
        put(dir.filePath(QStringLiteral("a")), 10);
        put(dir.filePath(QStringLiteral("sub/b")), 5);
        put(dir.filePath(QStringLiteral(".hidden")), 100);
        QCOMPARE(dirSize(dir.path()), qint64(15));

        // A link back up the tree must not send the walk round in circles.
        QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("sub/deeper/loop"))));
        QCOMPARE(dirSize(dir.path()), qint64(15));
        QCOMPARE(dirSize(dir.filePath(QStringLiteral("missing"))), qint64(0));
    }

    void parseUrlQuery_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QVariantMap>("expected");
        QTest::newRow("empty value skipped")
            << "http://h/entergame.php?game=abc&server=s12&x="
            << QVariantMap{{QStringLiteral("game"), QStringLiteral("abc")}, {QStringLiteral("server"), QStringLiteral("s12")}};
        QTest::newRow("no query") << "http://h/entergame.php" << QVariantMap();
        QTest::newRow("value stops at other characters")
            << "http://h/?server=s-12&gname=a.b&game=%E4"
            << QVariantMap{{QStringLiteral("server"), QStringLiteral("s")}, {QStringLiteral("gname"), QStringLiteral("a")}};
        QTest::newRow("letters of any script")
            << QStringLiteral("http://h/?game=西游&server=一服")
            << QVariantMap{{QStringLiteral("game"), QStringLiteral("西游")}, {QStringLiteral("server"), QStringLiteral("一服")}};
        QTest::newRow("later key wins, second ? ends the query")
            << "http://h/?game=a&game=b?server=s1"
            << QVariantMap{{QStringLiteral("game"), QStringLiteral("b")}};
    }

    void parseUrlQuery()
    {
        QFETCH(QString, url);
        QFETCH(QVariantMap, expected);
        const QMap<QString, QString> pairs = ::parseUrlQuery(url);
        QVariantMap actual;
        for (auto it = pairs.begin(); it != pairs.end(); ++it)
            actual.insert(it.key(), it.value());
        QCOMPARE(actual, expected);
    }

};
KAVO_TEST(TestUtilities)

#include "tst_utilities.moc"
