#include "desktopsession.h"
#include <QWidget>
#include <qpa/qwindowsysteminterface.h>
#include <QFile>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QtTest>

namespace {
// The desktop's own programs, without the sanitizer runtime a sanitized test
// run preloads into the tests: they are not built for it.
void asDesktopTool(QProcess *process)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_PRELOAD"));
    process->setProcessEnvironment(environment);
}
} // namespace

DesktopSession::~DesktopSession()
{
    stop();
}

bool DesktopSession::start()
{
    for (const char *tool : {"openbox", "trayer", "xdotool", "xwininfo"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            m_why = QStringLiteral("%1 is missing; scripts/install-deps installs it").arg(QLatin1String(tool));
            return false;
        }
    }
    const QString ready = m_dir.filePath(QStringLiteral("wm-ready"));
    asDesktopTool(&m_windowManager);
    asDesktopTool(&m_trayHost);
    m_windowManager.start(QStringLiteral("openbox"),
                          {QStringLiteral("--startup"), QStringLiteral("touch ") + ready});
    m_trayHost.start(QStringLiteral("trayer"),
                     {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                      QStringLiteral("--widthtype"), QStringLiteral("pixel"), QStringLiteral("--width"),
                      QStringLiteral("120"), QStringLiteral("--height"), QStringLiteral("24")});
    if (!QTest::qWaitFor([&] { return QFile::exists(ready); }, 10000)) {
        m_why = QStringLiteral("the window manager did not start");
        return false;
    }
    if (!QTest::qWaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000)) {
        m_why = QStringLiteral("the tray host did not start");
        return false;
    }
    return true;
}

void DesktopSession::stop()
{
    for (QProcess *process : {&m_trayHost, &m_windowManager}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
        process->waitForFinished(5000);
    }
}

QString DesktopSession::xdotool(const QStringList &arguments, bool *ok)
{
    QProcess process;
    asDesktopTool(&process);
    process.start(QStringLiteral("xdotool"), arguments);
    const bool finished = process.waitForFinished(10000);
    if (ok)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QRect DesktopSession::trayIconOf(qint64 pid)
{
    // The icon is a small window of the process, embedded in the tray host.
    // (xdotool misplaces embedded windows; xwininfo gives their place on screen.)
    const QStringList windows =
        xdotool({QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--onlyvisible"),
                 QStringLiteral(".*")})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &window : windows) {
        QProcess info;
        asDesktopTool(&info);
        info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
        info.waitForFinished(10000);
        QRect rect;
        const QStringList lines = QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const int value = line.section(QLatin1Char(':'), 1).trimmed().toInt();
            if (line.contains(QLatin1String("Absolute upper-left X")))
                rect.moveLeft(value);
            else if (line.contains(QLatin1String("Absolute upper-left Y")))
                rect.moveTop(value);
            else if (line.trimmed().startsWith(QLatin1String("Width:")))
                rect.setWidth(value);
            else if (line.trimmed().startsWith(QLatin1String("Height:")))
                rect.setHeight(value);
        }
        if (rect.width() >= 16 && rect.width() <= 32 && rect.height() >= 16 && rect.height() <= 32)
            return rect;
    }
    return QRect();
}

void DesktopSession::closeAsTheDesktopDoes(QWidget *window)
{
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(window->windowHandle());
}
