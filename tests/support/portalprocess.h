#pragma once
#include <QProcess>
#include <QStringList>
#include <QUrl>

// The demo portal, started on a free loopback port for one test class.
class PortalProcess
{
public:
    ~PortalProcess();
    // Starts build/kavo-portal with --port 0 and the given options and waits
    // for its "listening on" line.
    bool start(const QStringList &options = {});
    void stop();
    quint16 port() const { return m_port; }
    QString hostPort() const;
    QUrl url(const QString &pathAndQuery) const;
    // Points every portal role of the client at this portal.
    void useForAllRoles() const;
    // Everything the portal has logged so far (one line per request).
    QString log();

private:
    QProcess m_process;
    quint16 m_port = 0;
    QByteArray m_log;
};
