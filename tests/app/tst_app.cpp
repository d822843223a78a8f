#include "app/autostart.h"
#include "app/config.h"
#include "app/datadir.h"
#include "app/startup.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include <QDateTime>
#include <QDirIterator>
#include <QImageReader>
#include <QMediaPlayer>
#include <QMovie>
#include <QTranslator>
#include <QDir>
#include <QFontInfo>
#include <QKeySequence>
#include <QTemporaryDir>

namespace {
QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void absentKeysReadAsNothing()
    {
        TempDataDir data;
        Config config;
        const QVariant value = config.GetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey"));
        QVERIFY(!value.isValid());
        QVERIFY(value.toString().isEmpty());
        QVERIFY(!config.GetValue(QStringLiteral("sys"), QStringLiteral("auto")).toBool());
        QVERIFY2(!QFile::exists(data.filePath(QStringLiteral("Config.ini"))), "reading must not create the file");
    }

    void valuesLandInTheirSections()
    {
        TempDataDir data;
        {
            Config config;
            config.SetValue(QStringLiteral("sys"), QStringLiteral("autoLogin"), true);
            config.SetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey"),
                            QKeySequence(Qt::CTRL | Qt::Key_B).toString(QKeySequence::PortableText));
        }
        const QByteArray ini = data.read(QStringLiteral("Config.ini"));
        QVERIFY(ini.contains("[sys]\nautoLogin=true\n"));
        QVERIFY(ini.contains("[currectKeys]\nhideGameKey=Ctrl+B\n"));

        Config again;
        QCOMPARE(again.GetValue(QStringLiteral("sys"), QStringLiteral("autoLogin")).toBool(), true);
        QCOMPARE(again.GetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey")).toString(),
                 QStringLiteral("Ctrl+B"));
    }

    void fileDoesNotFollowTheWorkingDirectory()
    {
        TempDataDir data;
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        Config().SetValue(QStringLiteral("sys"), QStringLiteral("auto"), true);
        QDir::setCurrent(before);
        QVERIFY(QFile::exists(data.filePath(QStringLiteral("Config.ini"))));
        QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("Config.ini"))));
    }

    void unparsableFileIsCopiedAsideBeforeTheFirstSave()
    {
        TempDataDir data;
        const QByteArray original("# my notes\n[currectKeys]\nhideGameKey=Ctrl+B\n");
        data.write(QStringLiteral("Config.ini"), original);
        QCOMPARE(Config().GetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey")).toString(),
                 QStringLiteral("Ctrl+B"));
        QCOMPARE(data.read(QStringLiteral("Config.ini")), original); // reading alone changes nothing

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("kept aside as")));
        {
            Config config;
            config.SetValue(QStringLiteral("sys"), QStringLiteral("auto"), true);
            config.SetValue(QStringLiteral("sys"), QStringLiteral("autoLogin"), true);
        }
        const QStringList aside = QDir(data.path()).entryList({QStringLiteral("Config.ini.corrupt-*")});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(data.read(aside.first()), original);
        Config config;
        QCOMPARE(config.GetValue(QStringLiteral("currectKeys"), QStringLiteral("hideGameKey")).toString(),
                 QStringLiteral("Ctrl+B"));
        QVERIFY(config.GetValue(QStringLiteral("sys"), QStringLiteral("autoLogin")).toBool());
    }

    void failedSaveIsReportedAndOldFileStays()
    {
        TempDataDir data;
        Config().SetValue(QStringLiteral("sys"), QStringLiteral("auto"), true);
        const QByteArray before = data.read(QStringLiteral("Config.ini"));

        ReadOnlyFolder readOnly(data.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not save settings to")));
        Config().SetValue(QStringLiteral("sys"), QStringLiteral("auto"), false);
        QCOMPARE(data.read(QStringLiteral("Config.ini")), before);
    }
};

class TestHotkeyDefaults : public QObject
{
    Q_OBJECT
private:
    static QString value(const char *group, const char *key)
    {
        return Config().GetValue(QLatin1String(group), QLatin1String(key)).toString();
    }

private slots:
    void firstStartWritesBothGroups()
    {
        TempDataDir data;
        ensureHotkeyDefaults();
        QCOMPARE(value("currectKeys", "hideGameKey"), QStringLiteral("Alt+D"));
        QCOMPARE(value("currectKeys", "zoomWindow"), QStringLiteral("F11"));
        QCOMPARE(value("defaultKeys", "hideGameKey"), QStringLiteral("Alt+D"));
        QCOMPARE(value("defaultKeys", "zoomWindow"), QStringLiteral("F11"));
    }

    void usersKeysStayDefaultsAreReset()
    {
        TempDataDir data;
        data.write(QStringLiteral("Config.ini"),
                   "[currectKeys]\nhideGameKey=Ctrl+B\nzoomWindow=\n"
                   "[defaultKeys]\nhideGameKey=Ctrl+Q\nzoomWindow=F2\n");
        ensureHotkeyDefaults();
        QCOMPARE(value("currectKeys", "hideGameKey"), QStringLiteral("Ctrl+B"));
        QCOMPARE(value("currectKeys", "zoomWindow"), QStringLiteral("F11"));
        QCOMPARE(value("defaultKeys", "hideGameKey"), QStringLiteral("Alt+D"));
        QCOMPARE(value("defaultKeys", "zoomWindow"), QStringLiteral("F11"));
    }
};

class TestDataDir : public QObject
{
    Q_OBJECT
private slots:
    void writableExecutableFolderIsUsed()
    {
        QTemporaryDir exe, fallback;
        QCOMPARE(chooseDataDir(exe.path(), fallback.filePath(QStringLiteral("kavobox"))), exe.path());
    }

    void readOnlyExecutableFolderFallsBack()
    {
        QTemporaryDir exe, fallback;
        const QString perUser = fallback.filePath(QStringLiteral("share/kavobox"));
        ReadOnlyFolder readOnly(exe.path());
        if (!readOnly.isReadOnly())
            QSKIP(qPrintable(readOnly.why()));
        QCOMPARE(chooseDataDir(exe.path(), perUser), perUser);
        QVERIFY2(QFileInfo(perUser).isDir(), "the per-user folder is created");
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
        QCOMPARE(fileContents(aside), QByteArray("{broken"));
        QVERIFY(!QFile::exists(path));
    }
};

class TestAutostart : public QObject
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

    void entriesGoToUserAndFirstMachineFolder()
    {
        QCOMPARE(userEntry(), m_user.path() + QStringLiteral("/autostart/") + QCoreApplication::applicationName()
                     + QStringLiteral(".desktop"));
        QVERIFY(machineEntry().startsWith(m_machine.path() + QStringLiteral("/autostart/")));
    }

    void enableWritesBothOnceDisableRemovesBoth()
    {
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
    }
};

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void exactlyTheExpectedImages()
    {
        const QStringList expected{
            "about", "account", "arrow_down", "boss_1", "cancelup", "clear", "clear_1", "clear_finsh", "clock",
            "clock-2", "clock_notify", "coin", "delete", "file", "gamepad", "gift", "horn", "icon_16x16",
            "icon_32x32", "kefu", "loading", "logonew", "merge", "message", "music", "mute", "page", "pay", "qq",
            "re", "refresh", "reg", "safe", "search_1", "select", "select_16", "seting", "sign_in", "strctch", "tip",
            "up", "update", "web", "wx", "xiaohao", "zoom_close", "zoom_in", "zoom_in_1", "zoom_out"};
        QStringList present = QDir(QStringLiteral(":/img")).entryList(QDir::Files);
        present.sort();
        QCOMPARE(present, expected);
        // Names the menus ask for that deliberately have no picture.
        QVERIFY(!QFile::exists(QStringLiteral("://img/switch_account")));
        QVERIFY(!QFile::exists(QStringLiteral("://img/question")));
    }

    void everyPictureDecodes()
    {
        const QStringList pictures = QDir(QStringLiteral(":/img")).entryList(QDir::Files);
        for (const QString &name : pictures) {
            if (name == QLatin1String("music"))
                continue;
            QImageReader reader(QStringLiteral(":/img/") + name);
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(name + QStringLiteral(": ") + reader.errorString()));
            if (name.startsWith(QLatin1String("icon_")))
                QCOMPARE(QImageReader::imageFormat(QStringLiteral(":/img/") + name), QByteArray("ico"));
        }
        QCOMPARE(QImage(QStringLiteral(":/img/icon_16x16")).size(), QSize(16, 16));
        QCOMPARE(QImage(QStringLiteral(":/img/icon_32x32")).size(), QSize(32, 32));
        QCOMPARE(QImage(QStringLiteral("://img/select_16")).size(), QSize(16, 16));
        QCOMPARE(QImage(QStringLiteral(":/img/logonew")).height(), 25);

        QMovie loading(QStringLiteral(":/img/loading"));
        QVERIFY(loading.isValid());
        QCOMPARE(loading.format(), QByteArray("gif"));
        QVERIFY(loading.frameCount() > 1);
    }

    void translationHoldsOnlyItsLanguage()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral("DIVEVURKavo_zh_CN"), QStringLiteral(":/i18n/")));
        QCOMPARE(translator.language(), QStringLiteral("zh_CN"));
        QVERIFY(translator.isEmpty());
    }

    void alarmSoundPlays()
    {
        QMediaPlayer player;
        QSignalSpy status(&player, &QMediaPlayer::mediaStatusChanged);
        player.setMedia(QUrl(QStringLiteral("qrc:/img/music")));
        player.play();
        QTRY_COMPARE_WITH_TIMEOUT(player.mediaStatus(), QMediaPlayer::EndOfMedia, 20000);
        QCOMPARE(player.error(), QMediaPlayer::NoError);
        QVERIFY2(player.duration() >= 2000 && player.duration() <= 10000, qPrintable(QString::number(player.duration())));
    }
};

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void translationFollowsTheInterfaceLanguages_data()
    {
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<bool>("installed");
        QTest::newRow("English only") << QStringList{"en-US", "en"} << false;
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("Chinese first") << QStringList{"zh-CN", "en-US"} << true;
        QTest::newRow("Chinese after English") << QStringList{"en-GB", "zh-CN"} << true;
        QTest::newRow("script tag") << QStringList{"zh-Hans-CN"} << true;
        QTest::newRow("Taiwan") << QStringList{"zh-TW"} << false;
    }

    void translationFollowsTheInterfaceLanguages()
    {
        QFETCH(QStringList, languages);
        QFETCH(bool, installed);
        QTranslator translator;
        QCOMPARE(installTranslation(&translator, languages), installed);
        QCOMPARE(translator.language(), installed ? QStringLiteral("zh_CN") : QString());
        if (installed) {
            // An empty translation changes no text.
            QCOMPARE(QCoreApplication::translate("LoginDig", "Kavo游戏盒子"), QStringLiteral("Kavo游戏盒子"));
        }
        QCoreApplication::removeTranslator(&translator);
    }

    void sandboxIsSwitchedOffOnlyForRoot_data()
    {
        QTest::addColumn<bool>("root");
        QTest::addColumn<QByteArray>("disableVar");
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<bool>("mustDisable");
        QTest::newRow("user") << false << QByteArray() << QByteArray() << false;
        QTest::newRow("root") << true << QByteArray() << QByteArray("--disable-gpu") << true;
        QTest::newRow("root, variable set") << true << QByteArray("1") << QByteArray() << false;
        QTest::newRow("root, variable 0") << true << QByteArray("0") << QByteArray() << true;
        QTest::newRow("root, flag given") << true << QByteArray() << QByteArray("--disable-gpu --no-sandbox") << false;
        QTest::newRow("root, similar flag") << true << QByteArray() << QByteArray("--no-sandboxing") << true;
    }

    void sandboxIsSwitchedOffOnlyForRoot()
    {
        QFETCH(bool, root);
        QFETCH(QByteArray, disableVar);
        QFETCH(QByteArray, flags);
        QFETCH(bool, mustDisable);
        QCOMPARE(sandboxMustBeDisabled(root, disableVar, flags), mustDisable);
    }

    void chineseTextHasAFaceToRenderIn()
    {
        const QFont before = QApplication::font();
        applyApplicationFont();
        const QFont font = QApplication::font();
        QCOMPARE(font.family(), QStringLiteral("微软雅黑"));
        QCOMPARE(font.pointSize(), 9);
        for (const QString &family : {QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei")}) {
            const QFont asked(family, 9);
            const QString used = QFontInfo(asked).family();
            QVERIFY2(used == family || cjkFallbackFamilies().contains(used), qPrintable(family + " -> " + used));
            QVERIFY2(QFontMetrics(asked).inFontUcs4(0x6E38), qPrintable(used)); // 游
        }
        QApplication::setFont(before);
    }
};

int main(int argc, char **argv)
{
    return runTests<TestConfig, TestHotkeyDefaults, TestDataDir, TestAutostart, TestResources, TestStartup>(argc, argv);
}

#include "tst_app.moc"
