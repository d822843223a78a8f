#include "core/datadir.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

class TestDataDir : public TestCase
{
    Q_OBJECT
private slots:
    void installedCopiesKeepDataPerUserOthersBesideWhenWritable()
    {
        QTemporaryDir root;
        const QString installed = root.filePath(QStringLiteral("usr/bin"));
        const QString portable = root.filePath(QStringLiteral("games/kavobox"));
        const QString otherBin = root.filePath(QStringLiteral("opt/bin")); // no desktop entry beside it
        const QString perUser = root.filePath(QStringLiteral("home/.local/share/kavobox"));
        for (const QString &dir : {installed, portable, otherBin})
            QVERIFY(QDir().mkpath(dir));
        QVERIFY(writeFile(root.filePath(QStringLiteral("usr/share/applications/%1.desktop").arg(applicationId())), {}));

        QVERIFY(isInstalledExecutable(installed));
        QVERIFY(!isInstalledExecutable(portable));
        QVERIFY(!isInstalledExecutable(otherBin));
        QVERIFY(!isInstalledExecutable(QCoreApplication::applicationDirPath()));

        // Writable, as /usr/bin is to root: an installed copy still keeps out of it.
        QCOMPARE(chooseDataDir(installed, perUser), perUser);
        QCOMPARE(chooseDataDir(portable, perUser), portable);
        QCOMPARE(chooseDataDir(otherBin, perUser), otherBin);
        QVERIFY(QDir(perUser).removeRecursively());

        ReadOnlyFolder readOnlyInstalled(installed), readOnlyPortable(portable);
        if (!readOnlyInstalled.isReadOnly() || !readOnlyPortable.isReadOnly())
            QSKIP(qPrintable(readOnlyInstalled.why() + readOnlyPortable.why()));
        QCOMPARE(chooseDataDir(portable, perUser), perUser);
        QVERIFY(isDirWritable(perUser));
        QCOMPARE(chooseDataDir(installed, perUser), perUser);
    }

    void copyFromBesideTheExecutableNeverReplaces()
    {
        QTemporaryDir exe, perUser;
        const QByteArray config = "[currectKeys]\nhideGameKey=Alt+Q\n";
        QVERIFY(writeFile(exe.filePath(QStringLiteral("Config.ini")), config));
        QVERIFY(writeFile(exe.filePath(QStringLiteral("clocklist.txt")), "[\"beside\"]"));
        QVERIFY(writeFile(exe.filePath(QStringLiteral("portal.ini")), "[hosts]\n"));
        QVERIFY(writeFile(perUser.filePath(QStringLiteral("clocklist.txt")), "[\"own\"]"));
        // As on read-only media: the copy must still take the user's changes.
        QVERIFY(QFile::setPermissions(exe.filePath(QStringLiteral("Config.ini")), QFileDevice::ReadOwner));

        QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral("^copied .*/Config.ini to .*/Config.ini")));
        const QStringList copied = copyMissingDataFiles(exe.path(), perUser.path());
        QCOMPARE(copied, QStringList{perUser.filePath(QStringLiteral("Config.ini"))});
        QCOMPARE(readFile(copied.first()), config);
        QVERIFY(QFileInfo(copied.first()).permission(QFileDevice::WriteOwner));
        QCOMPARE(readFile(perUser.filePath(QStringLiteral("clocklist.txt"))), QByteArray("[\"own\"]"));
        QCOMPARE(readFile(exe.filePath(QStringLiteral("clocklist.txt"))), QByteArray("[\"beside\"]"));
        QVERIFY(!QFile::exists(perUser.filePath(QStringLiteral("portal.ini")))); // read in place, never copied
        QVERIFY(!QFile::exists(perUser.filePath(QStringLiteral("xiaohaoinfolist.txt"))));

        // The next start finds the copy and leaves it, changed or not.
        QVERIFY(writeFile(copied.first(), "[changed]\n"));
        QCOMPARE(copyMissingDataFiles(exe.path(), perUser.path()), QStringList());
        QCOMPARE(readFile(copied.first()), QByteArray("[changed]\n"));
    }

    void keepAsideNeverOverwritesAnEarlierCopy()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clocklist.txt"));
        // Occupy the names of this second and the next, so the test holds
        // whichever second keepAside sees.
        const QDateTime now = QDateTime::currentDateTime();
        for (const QDateTime &t : {now, now.addSecs(1)})
            QVERIFY(writeFile(path + QStringLiteral(".corrupt-") + t.toString(QStringLiteral("yyyyMMdd-HHmmss")), "earlier"));
        QVERIFY(writeFile(path, "{broken"));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        const QString aside = keepAside(path);
        QVERIFY(aside.endsWith(QStringLiteral("-1")));
        QCOMPARE(readFile(aside), QByteArray("{broken"));
        QVERIFY(!QFile::exists(path));
    }
};
KAVO_TEST(TestDataDir)

#include "tst_datadir.moc"
