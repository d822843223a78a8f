#include "core/autostart.h"
#include "core/config.h"
#include "support/lookup.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "widgets/hotkeyedit.h"
#include "widgets/settingsdialog.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

class TestSettingsDialog : public TestCase
{
    Q_OBJECT
private:
    QTemporaryDir m_xdg;
    ScopedEnv m_home{"XDG_CONFIG_HOME", m_xdg.filePath(QStringLiteral("user"))};
    ScopedEnv m_dirs{"XDG_CONFIG_DIRS", m_xdg.filePath(QStringLiteral("machine"))};

    static QCheckBox *box(QWidget *dialog, const QString &text) { return childWithText<QCheckBox>(dialog, text); }
    static HotkeyEdit *editor(QWidget *dialog, const QString &label)
    {
        return static_cast<HotkeyEdit *>(childWithText<QLabel>(dialog, label)->buddy());
    }
    static QString stored(const Settings::Key &key) { return Config().value(key).toString(); }

private slots:
    void showsTheStoredValuesAndWritesOnlyChanges()
    {
        TempDataDir data;
        data.write(QStringLiteral("Config.ini"), "[sys]\nauto=true\nautoLogin=false\n[currectKeys]\nhideGameKey=Ctrl+B\nzoomWindow=F11\n");
        const QByteArray before = data.read(QStringLiteral("Config.ini"));
        Config config;
        SettingsDialog dialog(&config, nullptr);
        QVERIFY(box(&dialog, QStringLiteral("开机自动启动"))->isChecked());
        QVERIFY(!box(&dialog, QStringLiteral("启动时自动登录"))->isChecked());
        QCOMPARE(editor(&dialog, QStringLiteral("盒子隐藏："))->keySequence(), QKeySequence(QStringLiteral("Ctrl+B")));
        QCOMPARE(data.read(QStringLiteral("Config.ini")), before);
        QVERIFY(!QFile::exists(autostartEntryPaths().at(0)));

        box(&dialog, QStringLiteral("开机自动启动"))->click();
        QCOMPARE(stored(Settings::kAutoStart), QStringLiteral("false"));
        box(&dialog, QStringLiteral("开机自动启动"))->click();
        QCOMPARE(stored(Settings::kAutoStart), QStringLiteral("true"));
        for (const QString &path : autostartEntryPaths())
            QVERIFY2(readFile(path).contains("\nExec="), qPrintable(path));
        box(&dialog, QStringLiteral("开机自动启动"))->click();
        QVERIFY(!QFile::exists(autostartEntryPaths().at(0)) && !QFile::exists(autostartEntryPaths().at(1)));
        box(&dialog, QStringLiteral("启动时自动登录"))->click();
        QCOMPARE(stored(Settings::kAutoLogin), QStringLiteral("true"));
        QVERIFY(data.read(QStringLiteral("Config.ini")).contains("[sys]\nauto=false\nautoLogin=true\n"));
    }

    void anEditorHoldsOneChordAndTellsAtOnce()
    {
        TempDataDir data;
        Config config;
        config.ensureHotkeyDefaults();
        QSignalSpy changed(&config, &Config::changed);
        SettingsDialog dialog(&config, nullptr);
        HotkeyEdit *boss = editor(&dialog, QStringLiteral("盒子隐藏："));
        QCOMPARE(boss->keySequence(), QKeySequence(QStringLiteral("Alt+D")));

        QTest::keyClick(boss, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(boss, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(boss->keySequence(), QKeySequence(QStringLiteral("Ctrl+B")));
        QCOMPARE(stored(Settings::kBossKey), QStringLiteral("Ctrl+B"));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(changed.last(), (QList<QVariant>{QStringLiteral("currectKeys"), QStringLiteral("hideGameKey")}));

        QTest::keyClick(boss, Qt::Key_Control); // a modifier alone
        QCOMPARE(stored(Settings::kBossKey), QStringLiteral("Ctrl+B"));
        QTest::keyClick(boss, Qt::Key_Backspace);
        QVERIFY(boss->keySequence().isEmpty());
        dialog.findChild<QTabWidget *>()->setCurrentIndex(1);
        dialog.show();
        QTRY_COMPARE(boss->findChild<QLineEdit *>()->placeholderText(), QStringLiteral("请按下快捷键"));
        QVERIFY(data.read(QStringLiteral("Config.ini")).contains("hideGameKey=\n"));
        QCOMPARE(stored(Settings::kFullScreenKey), QStringLiteral("F11"));
    }

    void refusedChordsLeaveThePreviousKey_data()
    {
        QTest::addColumn<QKeySequence>("chord");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("a bare letter") << QKeySequence(Qt::Key_D) << QStringLiteral("快捷键需包含 Ctrl、Alt 或 Shift");
        QTest::newRow("the full-screen key") << QKeySequence(Qt::Key_F11) << QStringLiteral("该快捷键已被占用");
        QTest::newRow("F5 alone") << QKeySequence(Qt::Key_F5) << QString();
    }

    void refusedChordsLeaveThePreviousKey()
    {
        QFETCH(QKeySequence, chord);
        QFETCH(QString, refusal);
        TempDataDir data;
        Config config;
        config.ensureHotkeyDefaults();
        QSignalSpy changed(&config, &Config::changed); // each write is announced
        SettingsDialog dialog(&config, nullptr);
        dialog.findChild<QTabWidget *>()->setCurrentIndex(1);
        HotkeyEdit *boss = editor(&dialog, QStringLiteral("盒子隐藏："));

        QTest::keySequence(boss, chord);
        QCOMPARE(errorLine(&dialog), refusal);
        QCOMPARE(boss->keySequence(), refusal.isEmpty() ? chord : QKeySequence(QStringLiteral("Alt+D")));
        QCOMPARE(changed.count(), refusal.isEmpty() ? 1 : 0);
        QTest::keyClick(boss, Qt::Key_B, Qt::ControlModifier); // the next good chord clears the line
        QCOMPARE(errorLine(&dialog), QString());
    }

    void defaultsComeBackAtOnce()
    {
        TempDataDir data;
        Config config;
        config.ensureHotkeyDefaults();
        config.setValue(Settings::kBossKey, QStringLiteral("not a key"));
        config.setValue(Settings::kFullScreenKey, QStringLiteral("F2"));
        QSignalSpy changed(&config, &Config::changed);
        QTest::ignoreMessage(QtWarningMsg, "hotkey hideGameKey is not a key sequence: not a key");
        SettingsDialog dialog(&config, nullptr);
        QVERIFY(editor(&dialog, QStringLiteral("盒子隐藏："))->keySequence().isEmpty());

        childWithText<QPushButton>(&dialog, QStringLiteral("恢复初始设置"))->click();
        QCOMPARE(editor(&dialog, QStringLiteral("盒子隐藏："))->keySequence(), QKeySequence(QStringLiteral("Alt+D")));
        QCOMPARE(editor(&dialog, QStringLiteral("窗口满屏："))->keySequence(), QKeySequence(QStringLiteral("F11")));
        QCOMPARE(stored(Settings::kBossKey), QStringLiteral("Alt+D"));
        QCOMPARE(stored(Settings::kFullScreenKey), QStringLiteral("F11"));
        QCOMPARE(changed.count(), 2); // the window hears of both and takes them at once
    }
};
KAVO_TEST(TestSettingsDialog)

#include "tst_settingsdialog.moc"
