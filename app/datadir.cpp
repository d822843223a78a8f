#include "datadir.h"
#include "app/logging.h"
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

QString chooseDataDir(const QString &exeDir, const QString &fallbackDir)
{
    if (isDirWritable(exeDir))
        return QDir::cleanPath(exeDir);
    QDir().mkpath(fallbackDir);
    return QDir::cleanPath(fallbackDir);
}

QString dataDir()
{
    if (!s_override.isEmpty())
        return s_override;
    if (s_chosen.isEmpty()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        s_chosen = chooseDataDir(exeDir, fallback);
        if (s_chosen != QDir::cleanPath(exeDir))
            qCInfo(lcApp).noquote() << "executable folder is read-only; keeping data in" << s_chosen;
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
