#include "autostart.h"
#include "core/datadir.h"
#include "core/logging.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString userConfigDir()
{
    const QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    return dir.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : dir;
}

// Exec takes its arguments quoted by the desktop-entry rules: inside double
// quotes, " ` $ and \ are escaped, and the string escape of \ applies on top,
// so a single backslash ends up as four. A % would start a field code.
QString quoteExecArgument(const QString &argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QStringLiteral("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QStringLiteral("%%");
        else if (c == QLatin1Char('\n'))
            quoted += QStringLiteral("\\n");
        else
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// TryExec is a plain string, not an Exec command line: only the string
// escapes apply, and quotes would become part of the path.
QString escapeString(const QString &value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    escaped.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    escaped.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return escaped;
}

bool writeEntry(const QString &path, const QByteArray &text, bool reportFailure)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == text)
        return true;
    existing.close();

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
    if (!ok && reportFailure)
        qCWarning(lcApp).noquote() << "could not write autostart entry" << path << file.errorString();
    return ok;
}
} // namespace

QStringList autostartEntryPaths()
{
    const QString name = QCoreApplication::applicationName() + QStringLiteral(".desktop");
    return {userConfigDir() + QStringLiteral("/autostart/") + name,
            xdgConfigDirs().first() + QStringLiteral("/autostart/") + name};
}

QString autostartEntryText(const QString &executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Kavo游戏盒子\n"
                          "Exec=%1\n"
                          "TryExec=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(quoteExecArgument(executable), escapeString(executable));
}

void SetAutoStart(bool enable)
{
    const QStringList paths = autostartEntryPaths();
    if (enable) {
        const QByteArray text = autostartEntryText(QCoreApplication::applicationFilePath()).toUtf8();
        writeEntry(paths.at(0), text, true);
        writeEntry(paths.at(1), text, false);
    } else {
        if (QFileInfo::exists(paths.at(0)) && !QFile::remove(paths.at(0)))
            qCWarning(lcApp).noquote() << "could not remove autostart entry" << paths.at(0);
        QFile::remove(paths.at(1));
    }
}
