#include "core/config.h"
#include "core/settingsnotice.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDir>
#include <QTemporaryDir>
#include <memory>

class TestConfig : public TestCase
{
    Q_OBJECT
private slots:
    void valuesLandInTheirSectionsAndChangesAreAnnounced()
    {
        TempDataDir data;
        QVERIFY(!Config().GetValue(Settings::kBossKey).isValid());
        QVERIFY2(!QFile::exists(data.filePath(QStringLiteral("Config.ini"))), "reading must not create the file");

        SettingsNotice notice;
        QSignalSpy changed(&notice, &SettingsNotice::changed);
        // Written from elsewhere than the data folder: the file stays there.
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        Config().SetValue(Settings::kAutoLogin, true);
        Config().SetValue(Settings::kBossKey, QStringLiteral("Ctrl+B"));
        QDir::setCurrent(before);

        const QByteArray ini = data.read(QStringLiteral("Config.ini"));
        QVERIFY(ini.contains("[sys]\nautoLogin=true\n"));
        QVERIFY(ini.contains("[currectKeys]\nhideGameKey=Ctrl+B\n"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1), (QList<QVariant>{QStringLiteral("currectKeys"), QStringLiteral("hideGameKey")}));
        QCOMPARE(Settings::hotkey(Settings::kBossKey), QKeySequence(Qt::CTRL | Qt::Key_B));
    }

    void hotkeyDefaultsKeepTheUsersKeys()
    {
        TempDataDir data;
        data.write(QStringLiteral("Config.ini"),
                   "[currectKeys]\nhideGameKey=Ctrl+B\nzoomWindow=\n[defaultKeys]\nhideGameKey=Ctrl+Q\nzoomWindow=F2\n");
        ensureHotkeyDefaults();
        Config config;
        QCOMPARE(config.GetValue(Settings::kBossKey).toString(), QStringLiteral("Ctrl+B"));
        QCOMPARE(config.GetValue(Settings::kFullScreenKey).toString(), QStringLiteral("F11"));
        QCOMPARE(config.GetValue(Settings::kDefaultBossKey).toString(), QStringLiteral("Alt+D"));
        QCOMPARE(config.GetValue(Settings::kDefaultFullScreenKey).toString(), QStringLiteral("F11"));
    }

    void unparsableFileIsCopiedAsideBeforeTheFirstSave()
    {
        TempDataDir data;
        const QByteArray original("# my notes\n[currectKeys]\nhideGameKey=Ctrl+B\n");
        data.write(QStringLiteral("Config.ini"), original);
        QCOMPARE(Config().GetValue(Settings::kBossKey).toString(), QStringLiteral("Ctrl+B"));
        QCOMPARE(data.read(QStringLiteral("Config.ini")), original); // reading alone changes nothing

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        {
            Config config;
            config.SetValue(Settings::kAutoStart, true);
            config.SetValue(Settings::kAutoLogin, true);
        }
        const QStringList aside = QDir(data.path()).entryList({QStringLiteral("Config.ini.corrupt-*")});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(data.read(aside.first()), original);
        Config config;
        QCOMPARE(config.GetValue(Settings::kBossKey).toString(), QStringLiteral("Ctrl+B"));
        QVERIFY(config.GetValue(Settings::kAutoLogin).toBool());
    }

    void failedSaveIsReportedAndOldFileStays_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("full disk") << false;
    }

    void failedSaveIsReportedAndOldFileStays()
    {
        QFETCH(bool, readOnly);
        TempDataDir data;
        Config().SetValue(Settings::kAutoStart, true);
        // Longer than the lock file QSettings writes first, which the limit must let through.
        Config().SetValue(QStringLiteral("notes"), QStringLiteral("text"), QString(200, QLatin1Char('x')));
        const QByteArray before = data.read(QStringLiteral("Config.ini"));

        // A full disk that still takes the old file's size, not the new one's.
        std::unique_ptr<ReadOnlyFolder> folder;
        std::unique_ptr<FileSizeLimit> disk;
        if (readOnly)
            folder = std::make_unique<ReadOnlyFolder>(data.path());
        else
            disk = std::make_unique<FileSizeLimit>(before.size() + 4);
        if (folder ? !folder->isReadOnly() : !disk->isActive())
            QSKIP(folder ? qPrintable(folder->why()) : "needs a file-size limit");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not save settings to")));
        Config().SetValue(Settings::kAutoLogin, true);
        disk.reset();
        QCOMPARE(data.read(QStringLiteral("Config.ini")), before);
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("Config.ini")});
    }
};
KAVO_TEST(TestConfig)

#include "tst_config.moc"
