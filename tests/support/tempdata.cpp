#include "tempdata.h"
#include "core/datadir.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {
// Folders nest: a test's own folder inside its class's goes back to the class's.
QStringList &openFolders()
{
    static QStringList folders;
    return folders;
}
} // namespace

TempDataDir::TempDataDir()
{
    openFolders().append(m_dir.path());
    setDataDirOverride(m_dir.path());
}

TempDataDir::~TempDataDir()
{
    openFolders().removeAll(m_dir.path());
    setDataDirOverride(openFolders().isEmpty() ? QString() : openFolders().last());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

namespace {
bool run(const QString &program, const QStringList &arguments, QString *error)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ")
            + QString::fromLocal8Bit(process.readAllStandardError()).trimmed() + process.errorString();
        return false;
    }
    return true;
}
} // namespace

ReadOnlyFolder::ReadOnlyFolder(const QString &path)
    : m_path(path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                              | QFile::ReadOther | QFile::ExeOther);
#ifdef Q_OS_UNIX
    if (geteuid() == 0) {
        m_mounted = run(QStringLiteral("mount"), {QStringLiteral("--bind"), path, path}, &m_why);
        if (m_mounted)
            run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), path, path}, &m_why);
    }
#endif
    m_readOnly = !isDirWritable(path);
    if (!m_readOnly && m_why.isEmpty())
        m_why = QStringLiteral("could not make %1 read-only").arg(path);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    QString ignored;
    if (m_mounted)
        run(QStringLiteral("umount"), {m_path}, &ignored);
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
#ifdef Q_OS_UNIX
    struct rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_saved = limit.rlim_cur;
    // Past the limit the kernel sends SIGXFSZ, which would end the test run;
    // ignored, the write just fails with EFBIG.
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
    Q_UNUSED(bytes)
#endif
}

FileSizeLimit::~FileSizeLimit()
{
#ifdef Q_OS_UNIX
    if (!m_active)
        return;
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_saved);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_oldHandler);
#endif
}
