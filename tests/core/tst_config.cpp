#include "core/config.h"
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
        Config config;
        QVERIFY(!config.value(Settings::kBossKey).isValid());
        QVERIFY2(!QFile::exists(data.filePath(QStringLiteral("Config.ini"))), "reading must not create the file");

        QSignalSpy changed(&config, &Config::changed);
        // Written from elsewhere than the data folder: the file stays there.
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        QVERIFY(config.setValue(Settings::kAutoLogin, true));
        QVERIFY(config.setValue(Settings::kBossKey, QStringLiteral("Ctrl+B")));
        QVERIFY(config.setValue(Settings::kFullScreenKey, QStringLiteral("F2")));
        QDir::setCurrent(before);

        const QByteArray ini = data.read(QStringLiteral("Config.ini"));
        QVERIFY(ini.contains("[sys]\nautoLogin=true\n"));
        QVERIFY(ini.contains("[currectKeys]\nhideGameKey=Ctrl+B\n"));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(1), (QList<QVariant>{QStringLiteral("currectKeys"), QStringLiteral("hideGameKey")}));
        QCOMPARE(Config().hotkey(Settings::kBossKey), QKeySequence(Qt::CTRL | Qt::Key_B));
    }

    void hotkeyDefaultsKeepTheUsersKeys()
    {
        TempDataDir data;
        data.write(QStringLiteral("Config.ini"),
                   "[currectKeys]\nhideGameKey=Ctrl+B\nzoomWindow=\n[defaultKeys]\nhideGameKey=Ctrl+Q\nzoomWindow=F2\n");
        Config config;
        config.ensureHotkeyDefaults();
        QCOMPARE(config.value(Settings::kBossKey).toString(), QStringLiteral("Ctrl+B"));
        QCOMPARE(config.value(Settings::kFullScreenKey).toString(), QStringLiteral("F11"));
        QCOMPARE(config.value(Settings::kDefaultBossKey).toString(), QStringLiteral("Alt+D"));
        QCOMPARE(config.value(Settings::kDefaultFullScreenKey).toString(), QStringLiteral("F11"));
    }

    void unparsableFileIsCopiedAsideBeforeTheFirstSave()
    {
        TempDataDir data;
        const QByteArray original("# my notes\n[currectKeys]\nhideGameKey=Ctrl+B\n");
        data.write(QStringLiteral("Config.ini"), original);
        QCOMPARE(Config().value(Settings::kBossKey).toString(), QStringLiteral("Ctrl+B"));
        QCOMPARE(data.read(QStringLiteral("Config.ini")), original); // reading alone changes nothing

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        {
            Config config;
            config.setValue(Settings::kAutoStart, true);
            config.setValue(Settings::kAutoLogin, true);
        }
        const QStringList aside = QDir(data.path()).entryList({QStringLiteral("Config.ini.corrupt-*")});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(data.read(aside.first()), original);
        Config config;
        QCOMPARE(config.value(Settings::kBossKey).toString(), QStringLiteral("Ctrl+B"));
        QVERIFY(config.value(Settings::kAutoLogin).toBool());
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
        Config config;
        config.setValue(Settings::kAutoStart, true);
        // Longer than the lock file QSettings writes first, which the limit must let through.
        config.setValue(QStringLiteral("notes"), QStringLiteral("text"), QString(200, QLatin1Char('x')));
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
        QVERIFY(!config.setValue(Settings::kAutoLogin, true));
        disk.reset();
        QCOMPARE(data.read(QStringLiteral("Config.ini")), before);
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList{QStringLiteral("Config.ini")});
    }
};
KAVO_TEST(TestConfig)

#include "tst_config.moc"
