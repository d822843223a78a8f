#include "startup.h"
#include "core/logging.h"
#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QTranslator>
#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

bool sandboxMustBeDisabled(bool isRoot, const QByteArray &disableSandboxVar, const QByteArray &chromiumFlags)
{
    if (!isRoot)
        return false;
    if (!disableSandboxVar.isEmpty() && disableSandboxVar != "0")
        return false;
    return !chromiumFlags.split(' ').contains("--no-sandbox");
}

void disableSandboxWhenRoot()
{
#ifdef Q_OS_UNIX
    const bool isRoot = geteuid() == 0;
#else
    const bool isRoot = false;
#endif
    if (!sandboxMustBeDisabled(isRoot, qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qCWarning(lcApp) << "running as root: the web engine's sandbox is disabled for this process";
}

QStringList cjkFallbackFamilies()
{
    return {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
            QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback")};
}

void applyApplicationFont()
{
    const QString yaHei = QStringLiteral("微软雅黑");
    const QString yaHeiLatin = QStringLiteral("Microsoft YaHei");
    QFont::insertSubstitutions(yaHei, QStringList{yaHeiLatin} + cjkFallbackFamilies());
    QFont::insertSubstitutions(yaHeiLatin, QStringList{yaHei} + cjkFallbackFamilies());
    QApplication::setFont(QFont(yaHei, 9));
}

bool installTranslation(QTranslator *translator, const QStringList &uiLanguages)
{
    for (const QString &language : uiLanguages) {
        const QString baseName = QStringLiteral("DIVEVURKavo_") + QLocale(language).name();
        if (translator->load(QStringLiteral(":/i18n/") + baseName)) {
            QCoreApplication::installTranslator(translator);
            qCDebug(lcApp).noquote() << "translation" << baseName << "installed";
            return true;
        }
    }
    return false;
}

#ifdef Q_OS_UNIX
namespace {
int s_signalPipe[2] = {-1, -1};

void writeSignalByte(int signalNumber)
{
    // Only async-signal-safe calls here; the event loop does the rest.
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_signalPipe[0], &byte, 1);
}
} // namespace

void quitOnTerminationSignals()
{
    if (s_signalPipe[0] != -1)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_signalPipe) != 0) {
        qCWarning(lcApp) << "termination signals will end the program abruptly: no socket pair";
        return;
    }
    auto *notifier = new QSocketNotifier(s_signalPipe[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(s_signalPipe[1], &byte, 1);
        qCInfo(lcApp) << "signal" << int(byte) << "received; quitting";
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}
#else
void quitOnTerminationSignals()
{
}
#endif
