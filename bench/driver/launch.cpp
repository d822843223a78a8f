#include "launch.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <csignal>

namespace {
bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
} // namespace

Launch::Launch(Program program, const QString &binary, const QString &folder, const QString &hostPort, const Lists &lists)
    : m_program(program)
    , m_binary(binary)
    , m_folder(folder)
    , m_hostPort(hostPort)
{
    QDir().mkpath(m_folder + QStringLiteral("/home"));
    QDir().mkpath(m_folder + QStringLiteral("/app"));
    if (m_program == Program::Client) {
        const QString app = m_folder + QStringLiteral("/app/");
        QString roles;
        for (const char *role : {"member", "content", "social", "vip", "pay", "gift", "portal", "download"})
            roles += QString::fromLatin1(role) + QLatin1Char('=') + m_hostPort + QLatin1Char('\n');
        writeFile(app + QStringLiteral("portal.ini"), "[hosts]\n" + roles.toUtf8());
        if (!lists.reminders.isEmpty())
            writeFile(app + QStringLiteral("clocklist.txt"), QJsonDocument(lists.reminders).toJson(QJsonDocument::Compact));
        if (!lists.altAccounts.isEmpty())
            writeFile(app + QStringLiteral("xiaohaoinfolist.txt"), QJsonDocument(lists.altAccounts).toJson(QJsonDocument::Compact));
        QFile::remove(app + QStringLiteral("kavobox"));
        QFile::copy(m_binary, app + QStringLiteral("kavobox"));
        m_binary = app + QStringLiteral("kavobox");
    }
}

Launch::~Launch()
{
    stop();
}

QString Launch::name(Program program)
{
    return program == Program::Client ? QStringLiteral("client") : QStringLiteral("floor");
}

bool Launch::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString home = m_folder + QStringLiteral("/home");
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(m_folder + QStringLiteral("/app"));
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_folder + QStringLiteral("/log"));
    m_process.setProgram(m_binary);
    m_process.setArguments(m_program == Program::Floor ? QStringList{m_hostPort} : QStringList{});
    m_startedAt = QDateTime::currentMSecsSinceEpoch();
    m_process.start();
    return m_process.waitForStarted(10000);
}

qint64 Launch::pid() const
{
    return m_process.processId();
}

bool Launch::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

bool Launch::stop()
{
    if (!isRunning())
        return false;
    ::kill(pid_t(m_process.processId()), SIGTERM);
    if (m_process.waitForFinished(15000))
        return true;
    m_process.kill();
    m_process.waitForFinished(5000);
    return false;
}

QString Launch::logTail() const
{
    QFile log(m_folder + QStringLiteral("/log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = log.readAll();
    return QString::fromUtf8(text.right(1500));
}
