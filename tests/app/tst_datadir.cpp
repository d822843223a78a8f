#include "app/datadir.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QTemporaryDir>

class TestDataDir : public TestCase
{
    Q_OBJECT
private slots:
    void writableExecutableFolderIsUsedElsePerUser()
    {
        QTemporaryDir exe, fallback;
        const QString perUser = fallback.filePath(QStringLiteral("share/kavobox"));
        QCOMPARE(chooseDataDir(exe.path(), perUser), exe.path());

        ReadOnlyFolder readOnly(exe.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QCOMPARE(chooseDataDir(exe.path(), perUser), perUser);
        QVERIFY(isDirWritable(perUser));
    }

    void keepAsideNeverOverwritesAnEarlierCopy()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clocklist.txt"));
        // Occupy the names of this second and the next, so the test holds
        // whichever second keepAside sees.
        const QDateTime now = QDateTime::currentDateTime();
        for (const QDateTime &t : {now, now.addSecs(1)}) {
            QFile taken(path + QStringLiteral(".corrupt-") + t.toString(QStringLiteral("yyyyMMdd-HHmmss")));
            QVERIFY(taken.open(QIODevice::WriteOnly));
            taken.write("earlier");
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{broken");
        file.close();

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        const QString aside = keepAside(path);
        QVERIFY(aside.endsWith(QStringLiteral("-1")));
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("{broken"));
        QVERIFY(!QFile::exists(path));
    }
};
KAVO_TEST(TestDataDir)

#include "tst_datadir.moc"
