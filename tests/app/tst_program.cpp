#include "support/boxfixture.h"
#include "support/desktopsession.h"
#include "support/httpfixture.h"
#include "support/tempdata.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// The program itself, started as a user starts it, from a folder of its own
// (the data folder is the executable's folder when writable).
class TestProgram : public TestCase
{
    Q_OBJECT
private:
    HttpFixture m_http;

    // As a user would, again if a click or key went astray on a busy machine:
    // the boss key hides the box, then "退出" from the tray icon's menu.
    static void quitFromTheTray(QProcess &client)
    {
        const auto running = [&client] { return client.state() != QProcess::NotRunning; };
        for (int attempt = 0; attempt < 5 && running(); ++attempt) {
            QRect icon = DesktopSession::trayIconOf(client.processId());
            if (icon.isNull()) {
                const QString box = DesktopSession::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                             QStringLiteral("--pid"), QString::number(client.processId()),
                                                             QStringLiteral("--name"), QStringLiteral("^Kavo游戏盒子$")});
                DesktopSession::xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), box});
                DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
                if (!QTest::qWaitFor([&] { return !(icon = DesktopSession::trayIconOf(client.processId())).isNull(); }, 5000))
                    continue;
            }
            DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(icon.center().x()),
                                     QString::number(icon.center().y()), QStringLiteral("click"), QStringLiteral("3")});
            QTest::qWait(700); // the menu opens
            DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});
            static_cast<void>(QTest::qWaitFor([&] { return !running(); }, 3000));
        }
    }

    // A second start against the same data folder ends at once, writing
    // nothing, and the first one's window comes back from the task bar.
    static void secondStartBringsTheFirstToTheFront(const QString &exe, const QString &folder, QProcess &first)
    {
        const QString box = DesktopSession::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                     QStringLiteral("--pid"), QString::number(first.processId()),
                                                     QStringLiteral("--name"), QStringLiteral("^Kavo游戏盒子$")});
        QVERIFY(!box.isEmpty());
        DesktopSession::xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), box});
        const auto files = [&folder] {
            QStringList all;
            for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
                all << file.fileName() + QLatin1Char(' ') + QString::number(file.size()) + QLatin1Char(' ')
                        + file.lastModified().toString(Qt::ISODateWithMs);
            return all;
        };
        const QStringList before = files();
        QProcess second;
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(exe, {});
        QVERIFY(second.waitForFinished(5000));
        const QByteArray said = second.readAll();
        QVERIFY2(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0, said.constData());
        QVERIFY2(said.contains("the box is already running"), said.constData());
        QCOMPARE(files(), before);
        QTRY_COMPARE_WITH_TIMEOUT(DesktopSession::xdotool({QStringLiteral("getactivewindow")}), box, 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/logs-in.html")));
        serveBareBox(m_http); // for the program, which the portal.ini beside it points here
    }

    void startsLogsInAndQuitsFromTheTray()
    {
        DesktopSession desktop;
        QVERIFY2(desktop.start(), qPrintable(desktop.why()));
        QTemporaryDir folder;
        const QString exe = folder.filePath(QStringLiteral("kavobox"));
        QVERIFY(QFile::copy(QStringLiteral(KAVO_CLIENT_BIN), exe));
        const QByteArray host = m_http.hostPort().toUtf8();
        QVERIFY(writeFile(folder.filePath(QStringLiteral("portal.ini")), "[hosts]\nmember=" + host + "\ncontent=" + host + "\n"));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("zh_CN:en"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
        // As root it must switch the web engine's sandbox off by itself.
#ifdef Q_OS_UNIX
        const bool root = geteuid() == 0;
#else
        const bool root = false;
#endif
        if (root)
            environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        QProcess client;
        client.setProcessEnvironment(environment);
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(exe, {});
        QByteArray log;
        QVERIFY(QTest::qWaitFor([&] {
            log += client.readAll();
            return log.contains("page loaded: Kavo首页") || client.state() == QProcess::NotRunning;
        }, 30000));
        secondStartBringsTheFirstToTheFront(exe, folder.path(), client);
        quitFromTheTray(client);
        if (!client.waitForFinished(60000))
            client.kill();
        client.waitForFinished();
        log += client.readAll();

        QVERIFY2(client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0, log.constData());
        for (const char *line : {"QDebug-login-username: e2e", "page loaded: Kavo首页", "exit code 0",
                                 "translation DIVEVURKavo_zh_CN installed"})
            QVERIFY2(log.contains(line), log.constData());
        QVERIFY2(!log.contains("Release of profile requested"), log.constData());
        QCOMPARE(log.count("the web engine's sandbox is disabled"), root ? 1 : 0);
        QSettings config(folder.filePath(QStringLiteral("Config.ini")), QSettings::IniFormat);
        QCOMPARE(config.value(QStringLiteral("currectKeys/hideGameKey")).toString(), QStringLiteral("Alt+D"));
        QCOMPARE(config.value(QStringLiteral("defaultKeys/zoomWindow")).toString(), QStringLiteral("F11"));
    }
};
KAVO_TEST(TestProgram)

#include "tst_program.moc"
