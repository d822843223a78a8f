#include "app/autostart.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

namespace {
QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestAutostart : public TestCase
{
    Q_OBJECT
private:
    QTemporaryDir m_user, m_machine;
    QByteArray m_oldHome, m_oldDirs;

    QString userEntry() const { return autostartEntryPaths().at(0); }
    QString machineEntry() const { return autostartEntryPaths().at(1); }

private slots:
    void initTestCase()
    {
        m_oldHome = qgetenv("XDG_CONFIG_HOME");
        m_oldDirs = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_CONFIG_HOME", m_user.path().toUtf8());
        qputenv("XDG_CONFIG_DIRS", (m_machine.path() + QStringLiteral(":/nonexistent/second")).toUtf8());
    }

    void cleanupTestCase()
    {
        qputenv("XDG_CONFIG_HOME", m_oldHome);
        qputenv("XDG_CONFIG_DIRS", m_oldDirs);
    }

    void enableWritesBothOnceDisableRemovesBoth()
    {
        QVERIFY(userEntry().startsWith(m_user.path() + QStringLiteral("/autostart/")));
        QVERIFY(machineEntry().startsWith(m_machine.path() + QStringLiteral("/autostart/")));
        EnableAutoStart();
        const QByteArray expected = autostartEntryText(QCoreApplication::applicationFilePath()).toUtf8();
        QCOMPARE(fileContents(userEntry()), expected);
        QCOMPARE(fileContents(machineEntry()), expected);

        // An identical entry is left alone: its old time stamp survives.
        const QDateTime old = QDateTime::currentDateTime().addDays(-3);
        for (const QString &path : {userEntry(), machineEntry()}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
        }
        EnableAutoStart();
        QCOMPARE(QFileInfo(userEntry()).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());
        QCOMPARE(QFileInfo(machineEntry()).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());

        QVERIFY(QFile::remove(machineEntry()));
        DisableAutoStart();
        QVERIFY(!QFile::exists(userEntry()));
        QVERIFY(!QFile::exists(machineEntry()));
    }

    void movedExecutableRewritesTheEntries()
    {
        QDir().mkpath(QFileInfo(userEntry()).absolutePath());
        QFile stale(userEntry());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(autostartEntryText(QStringLiteral("/old/place/kavobox")).toUtf8());
        stale.close();

        EnableAutoStart();
        QCOMPARE(fileContents(userEntry()), autostartEntryText(QCoreApplication::applicationFilePath()).toUtf8());
        DisableAutoStart();
    }

    void machineFolderFailureIsSilent()
    {
        QTemporaryDir machine;
        const QByteArray saved = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_CONFIG_DIRS", machine.path().toUtf8());
        {
            ReadOnlyFolder readOnly(machine.path());
            if (!readOnly.isReadOnly())
                QSKIP(qPrintable(readOnly.why()));
            EnableAutoStart(); // any warning here fails the test
            QVERIFY(QFile::exists(userEntry()));
            QVERIFY(!QFile::exists(machineEntry()));
            DisableAutoStart();
        }
        qputenv("XDG_CONFIG_DIRS", saved);
    }

    void execQuotesTheWholePath()
    {
        const QString text = autostartEntryText(QStringLiteral("/opt/my games/kavo$box/a\"b\\c%d`e"));
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
        QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/my games/kavo\\\\$box/a\\\\\"b\\\\\\\\c%%d\\\\`e\"\n")));
        // TryExec names the file itself: no quotes, only the string escapes.
        QVERIFY(text.contains(QStringLiteral("\nTryExec=/opt/my games/kavo$box/a\"b\\\\c%d`e\n")));
    }
};
KAVO_TEST(TestAutostart)

#include "tst_autostart.moc"
