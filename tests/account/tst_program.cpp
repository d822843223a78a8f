#include "support/desktopsession.h"
#include "support/httpfixture.h"
#include "support/testmain.h"
#include "support/webtools.h"
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
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
    const QString kHomePageLoaded = QStringLiteral("page loaded: Kavo首页");

    struct Run {
        int exitCode = -1;
        QProcess::ExitStatus status = QProcess::CrashExit;
        QString log;
    };

    // Runs the client until it ends by itself, or, with terminateAfter, until
    // that text appears in its log: then a SIGTERM ends it, or drive does
    // what a user would to end it.
    Run runClient(const QTemporaryDir &folder, const QProcessEnvironment &environment,
                  const QString &terminateAfter = QString(), const std::function<void(QProcess &)> &drive = {})
    {
        const QString exe = folder.filePath(QStringLiteral("kavobox"));
        if (!QFile::exists(exe) && !QFile::copy(QStringLiteral(KAVO_CLIENT_BIN), exe))
            return {};
        QFile ini(folder.filePath(QStringLiteral("portal.ini")));
        if (!ini.open(QIODevice::WriteOnly))
            return {};
        const QByteArray host = m_http.hostPort().toUtf8();
        ini.write("[hosts]\nmember=" + host + "\ncontent=" + host + "\n");
        ini.close();

        QProcess client;
        client.setProcessEnvironment(environment);
        client.setProcessChannelMode(QProcess::MergedChannels);
        client.start(exe, {});
        Run run;
        QByteArray early;
        if (!terminateAfter.isEmpty()) {
            static_cast<void>(QTest::qWaitFor([&] { // the caller checks the log
                early += client.readAll();
                return early.contains(terminateAfter.toUtf8()) || client.state() == QProcess::NotRunning;
            }, 30000));
            if (drive)
                drive(client);
            else
                client.terminate();
        }
        if (!client.waitForFinished(60000)) {
            client.kill();
            client.waitForFinished();
        }
        run.exitCode = client.exitCode();
        run.status = client.exitStatus();
        run.log = QString::fromUtf8(early + client.readAll());
        return run;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_http.start());
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/logs-in.html")));
        m_http.setBody(QStringLiteral("/landers.html"), "<title>home</title>home");
        m_http.setBody(QStringLiteral("/search.html"), "<title>search</title>search");
        m_http.setBody(QStringLiteral("/update/"), R"({"version_code":2,"force":0})", "application/json");
    }

    void startsLogsInAndEndsCleanly()
    {
        QTemporaryDir folder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("zh_CN:en"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
        const Run run = runClient(folder, environment, kHomePageLoaded);
        QVERIFY2(run.status == QProcess::NormalExit, qPrintable(run.log));
        QVERIFY2(run.exitCode == 0, qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("QDebug-login-username: e2e")), qPrintable(run.log));
        QVERIFY2(run.log.contains(kHomePageLoaded), qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("translation DIVEVURKavo_zh_CN installed")), qPrintable(run.log));
        QVERIFY2(!run.log.contains(QStringLiteral("Release of profile requested")), qPrintable(run.log));

        QSettings config(folder.filePath(QStringLiteral("Config.ini")), QSettings::IniFormat);
        QCOMPARE(config.value(QStringLiteral("currectKeys/hideGameKey")).toString(), QStringLiteral("Alt+D"));
        QCOMPARE(config.value(QStringLiteral("defaultKeys/zoomWindow")).toString(), QStringLiteral("F11"));
    }

    void terminationSignalClosesInOrder()
    {
        QTemporaryDir folder;
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/echo-login.html")));
        const Run run = runClient(folder, QProcessEnvironment::systemEnvironment(), QStringLiteral("finish: true"));
        m_http.setBody(QStringLiteral("/Kavobox2"), testPage(QStringLiteral("account/pages/logs-in.html")));
        QVERIFY2(run.log.contains(QStringLiteral("finish: true")), qPrintable(run.log));
        QVERIFY2(run.exitCode == 0 && run.status == QProcess::NormalExit, qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("quitting")), qPrintable(run.log));
        QVERIFY2(!run.log.contains(QStringLiteral("Release of profile requested")), qPrintable(run.log));
    }

    void quitsFromTheTrayMenu()
    {
        DesktopSession desktop;
        QVERIFY2(desktop.start(), qPrintable(desktop.why()));
        QTemporaryDir folder;
        const Run run = runClient(folder, QProcessEnvironment::systemEnvironment(), kHomePageLoaded, [](QProcess &client) {
            const QString pid = QString::number(client.processId());
            const auto running = [&client] { return client.state() != QProcess::NotRunning; };
            // As a user would, again if a click or key went astray on a busy machine.
            for (int attempt = 0; attempt < 5 && running(); ++attempt) {
                QRect icon = DesktopSession::trayIconOf(client.processId());
                if (icon.isNull()) { // the boss key on the box
                    const QString box = DesktopSession::xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                                 QStringLiteral("--pid"), pid, QStringLiteral("--name"),
                                                                 QStringLiteral("^Kavo游戏盒子$")});
                    DesktopSession::xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), box});
                    DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("alt+d")});
                    if (!QTest::qWaitFor([&] { return !(icon = DesktopSession::trayIconOf(client.processId())).isNull(); },
                                         5000))
                        continue;
                }
                // "退出" from the icon's menu.
                DesktopSession::xdotool({QStringLiteral("mousemove"), QString::number(icon.center().x()),
                                         QString::number(icon.center().y()), QStringLiteral("click"), QStringLiteral("3")});
                QTest::qWait(700); // the menu opens
                DesktopSession::xdotool({QStringLiteral("key"), QStringLiteral("Up"), QStringLiteral("Return")});
                static_cast<void>(QTest::qWaitFor([&] { return !running(); }, 3000));
            }
        });
        QVERIFY2(run.status == QProcess::NormalExit && run.exitCode == 0, qPrintable(run.log));
        QVERIFY2(run.log.contains(QStringLiteral("exit code 0")), qPrintable(run.log));
        QVERIFY2(!run.log.contains(QStringLiteral("Release of profile requested")), qPrintable(run.log));
    }

    void rootStartsWithoutBeingToldAboutTheSandbox()
    {
#ifdef Q_OS_UNIX
        if (geteuid() != 0)
            QSKIP("only root needs the sandbox switched off");
#endif
        QTemporaryDir folder;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
        const Run run = runClient(folder, environment, kHomePageLoaded);
        QVERIFY2(run.exitCode == 0 && run.status == QProcess::NormalExit, qPrintable(run.log));
        QCOMPARE(run.log.count(QStringLiteral("the web engine's sandbox is disabled")), 1);
    }
};
KAVO_TEST(TestProgram)

#include "tst_program.moc"
