#include "datadir.h"
#include "core/logging.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
QString s_override;
QString s_chosen; // decided once per process; the folder does not change under us
} // namespace

bool isDirWritable(const QString &dir)
{
    if (!QFileInfo(dir).isDir())
        return false;
    QTemporaryFile probe(dir + QStringLiteral("/.kavobox-probe-XXXXXX"));
    return probe.open();
}

QString applicationId()
{
    return QStringLiteral(KAVO_APP_ID);
}

bool isInstalledExecutable(const QString &exeDir)
{
    // Checked through "..", not a cleaned path: the entry must sit beside
    // the folder the executable really is in.
    return QDir(exeDir).dirName() == QLatin1String("bin")
        && QFileInfo::exists(exeDir + QStringLiteral("/../share/applications/") + applicationId()
                             + QStringLiteral(".desktop"));
}

QString chooseDataDir(const QString &exeDir, const QString &fallbackDir)
{
    if (!isInstalledExecutable(exeDir) && isDirWritable(exeDir))
        return QDir::cleanPath(exeDir);
    if (!QFileInfo::exists(fallbackDir) && QDir().mkpath(fallbackDir))
        makePrivate(fallbackDir, Narrowing::Quiet);
    return QDir::cleanPath(fallbackDir);
}

QStringList copyMissingDataFiles(const QString &fromDir, const QString &toDir)
{
    QStringList copied;
    for (const char *name : {"Config.ini", "clocklist.txt", "xiaohaoinfolist.txt"}) {
        const QString from = fromDir + QLatin1Char('/') + QLatin1String(name);
        const QString to = toDir + QLatin1Char('/') + QLatin1String(name);
        if (!QFileInfo::exists(from) || QFileInfo::exists(to))
            continue;
        // QFile::copy fills an unnamed temporary file and then links it in
        // under the new name, which fails rather than replace a file: neither
        // a half copy nor a lost user file can happen.
        if (!QFile::copy(from, to)) {
            qCWarning(lcApp).noquote() << "could not copy" << from << "to" << to;
            continue;
        }
        // The copy keeps the original's permissions: often no write bit on
        // read-only media, and often readable by all.
        makePrivate(to, Narrowing::Quiet);
        qCInfo(lcApp).noquote() << "copied" << from << "to" << to << "once; the copy is used from now on";
        copied << to;
    }
    return copied;
}

QStringList portalIniFiles(const QString &dataDir, const QString &exeDir, const QStringList &systemDirs)
{
    const QString name = QStringLiteral("/portal.ini");
    QStringList files{QDir::cleanPath(dataDir) + name};
    if (!isInstalledExecutable(exeDir) && QDir::cleanPath(exeDir) != QDir::cleanPath(dataDir))
        files << QDir::cleanPath(exeDir) + name;
    for (const QString &dir : systemDirs)
        files << QDir::cleanPath(dir) + name;
    return files;
}

QStringList xdgConfigDirs()
{
#ifdef Q_OS_WIN
    return {};
#else
    QStringList dirs;
    const QStringList bases = qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &base : bases) {
        if (QDir::isAbsolutePath(base)) // the base-directory rules say to ignore relative ones
            dirs << QDir::cleanPath(base);
    }
    return dirs.isEmpty() ? QStringList{QStringLiteral("/etc/xdg")} : dirs;
#endif
}

QStringList systemConfigDirs()
{
    QStringList dirs;
    for (const QString &base : xdgConfigDirs())
        dirs << base + QLatin1Char('/') + QCoreApplication::applicationName();
    return dirs;
}

QString dataDir()
{
    if (!s_override.isEmpty())
        return s_override;
    if (s_chosen.isEmpty()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        s_chosen = chooseDataDir(exeDir, fallback);
        if (isInstalledExecutable(exeDir)) {
            qCInfo(lcApp).noquote() << "installed copy; keeping data in" << s_chosen;
        } else if (s_chosen != QDir::cleanPath(exeDir)) {
            qCInfo(lcApp).noquote() << "executable folder is read-only; keeping data in" << s_chosen;
            copyMissingDataFiles(exeDir, s_chosen);
        }
    }
    return s_chosen;
}

QString dataFilePath(const QString &fileName)
{
    return dataDir() + QLatin1Char('/') + fileName;
}

void setDataDirOverride(const QString &dir)
{
    s_override = dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

void makePrivate(const QString &path, Narrowing narrowing)
{
    const QFileInfo info(path);
    const QFileDevice::Permissions own = info.isDir() ? kPrivateFile | QFileDevice::ExeOwner : kPrivateFile;
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const QFileDevice::Permissions now = QFile::permissions(path);
    if (narrowing == Narrowing::Announced && info.exists() && (now & others))
        qCInfo(lcApp).noquote() << "narrowing the permissions of" << path << "to its owner's alone";
    QFile::setPermissions(path, own);
}

namespace {
QString asideName(const QString &path)
{
    const QString base = path + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = base;
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    return target;
}

QString putAside(const QString &path, bool keepOriginal)
{
    const QString target = asideName(path);
    if (!(keepOriginal ? QFile::copy(path, target) : QFile::rename(path, target))) {
        qCWarning(lcApp).noquote() << "could not keep aside unreadable file" << path;
        return QString();
    }
    qCWarning(lcApp).noquote() << "unreadable file" << path << "kept aside as" << target;
    makePrivate(target, Narrowing::Quiet);
    return target;
}
} // namespace

QString keepAside(const QString &path)
{
    return putAside(path, false);
}

QString copyAside(const QString &path)
{
    return putAside(path, true);
}
