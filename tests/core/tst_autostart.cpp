#include "core/autostart.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

class TestAutostart : public TestCase
{
    Q_OBJECT
private:
    QTemporaryDir m_user, m_machine;
    ScopedEnv m_home{"XDG_CONFIG_HOME", m_user.path()};
    ScopedEnv m_dirs{"XDG_CONFIG_DIRS", m_machine.path() + QStringLiteral(":/nonexistent/second")};

private slots:
    void enableWritesBothOnceDisableRemovesBoth()
    {
        const QStringList paths = autostartEntryPaths();
        QVERIFY(paths.at(0).startsWith(m_user.path() + QStringLiteral("/autostart/")));
        QVERIFY(paths.at(1).startsWith(m_machine.path() + QStringLiteral("/autostart/")));
        // The entry of an executable that has moved since is rewritten.
        QVERIFY(writeFile(paths.at(0), autostartEntryText(QStringLiteral("/old/place/kavobox")).toUtf8()));
        EnableAutoStart();
        for (const QString &path : paths)
            QCOMPARE(readFile(path), autostartEntryText(QCoreApplication::applicationFilePath()).toUtf8());

        // An identical entry is left alone: its old time stamp survives.
        const QDateTime old = QDateTime::currentDateTime().addDays(-3);
        for (const QString &path : paths) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(old, QFileDevice::FileModificationTime));
        }
        EnableAutoStart();
        for (const QString &path : paths)
            QCOMPARE(QFileInfo(path).lastModified().toSecsSinceEpoch(), old.toSecsSinceEpoch());

        QVERIFY(QFile::remove(paths.at(1)));
        DisableAutoStart();
        QVERIFY(!QFile::exists(paths.at(0)) && !QFile::exists(paths.at(1)));
    }

    void machineFolderFailureIsSilent()
    {
        QTemporaryDir machine;
        ScopedEnv dirs("XDG_CONFIG_DIRS", machine.path());
        ReadOnlyFolder readOnly(machine.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        EnableAutoStart(); // any warning here fails the test
        QVERIFY(QFile::exists(autostartEntryPaths().at(0)));
        QVERIFY(!QFile::exists(autostartEntryPaths().at(1)));
        DisableAutoStart();
    }

    void execQuotesTheWholePath()
    {
        const QString text = autostartEntryText(QStringLiteral("/opt/my games/kavo$box/a\"b\\c%d`e"));
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/my games/kavo\\\\$box/a\\\\\"b\\\\\\\\c%%d\\\\`e\"\n")));
        // TryExec names the file itself: no quotes, only the string escapes.
        QVERIFY(text.contains(QStringLiteral("\nTryExec=/opt/my games/kavo$box/a\"b\\\\c%d`e\n")));
    }
};
KAVO_TEST(TestAutostart)

#include "tst_autostart.moc"
