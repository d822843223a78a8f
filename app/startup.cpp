#include "startup.h"
#include "app/logging.h"
#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QTranslator>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#ifdef Q_OS_UNIX
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
            qCDebug(lcApp) << "translation" << baseName << "installed";
            return true;
        }
    }
    return false;
}

void applyWebEngineDefaults()
{
    QWebEngineProfile *profile = QWebEngineProfile::defaultProfile();
    profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    profile->settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, true);
    profile->setUseForGlobalCertificateVerification(true);
}
