#include "portalprocess.h"
#include "core/endpoints.h"
#include <QRegularExpression>

PortalProcess::~PortalProcess()
{
    stop();
}

bool PortalProcess::start(const QStringList &options)
{
    m_process.setProgram(QStringLiteral(KAVO_PORTAL_BIN));
    m_process.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return false;
    QByteArray first;
    while (!first.contains('\n')) {
        if (!m_process.waitForReadyRead(10000))
            return false;
        first += m_process.readAllStandardOutput();
    }
    static const QRegularExpression kListening(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)\\n"));
    const QRegularExpressionMatch match = kListening.match(QString::fromUtf8(first));
    m_port = match.hasMatch() ? match.captured(1).toUShort() : 0;
    return m_port != 0;
}

void PortalProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString PortalProcess::hostPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QUrl PortalProcess::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://") + hostPort() + pathAndQuery);
}

void PortalProcess::useForAllRoles() const
{
    for (Endpoints::Role role : Endpoints::roles())
        Endpoints::setHost(role, hostPort());
}

QString PortalProcess::log()
{
    m_log += m_process.readAllStandardError();
    return QString::fromUtf8(m_log);
}
