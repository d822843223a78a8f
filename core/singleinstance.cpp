#include "singleinstance.h"
#include "core/logging.h"
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
constexpr int kAnswerWithinMs = 1500;
const QByteArray kActivate = "activate\n";
} // namespace

SingleInstance::SingleInstance(const QString &dataDir, QObject *parent)
    : QObject(parent)
{
    const QByteArray key = (QDir::cleanPath(QDir::homePath()) + QLatin1Char('\n') + QDir(dataDir).absolutePath()).toUtf8();
    m_name = QStringLiteral("kavobox-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    // Twice: a copy started at the same moment may have won the name
    // between our question and our try to listen.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (askRunningCopy())
            return true;
        if (m_server->listen(m_name))
            return false;
    }
    // Nobody answers on it: a socket left by a copy that crashed.
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name))
        qCWarning(lcApp).noquote() << "cannot listen for later starts (" + m_server->errorString()
                                          + "); a second start will open a second box";
    return false;
}

bool SingleInstance::askRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerWithinMs))
        return false; // nobody listens, or a stale socket of a copy that crashed
    socket.write(kActivate);
    if (!socket.waitForBytesWritten(kAnswerWithinMs))
        return false;
    // The running copy closes the connection once it has the request.
    socket.waitForDisconnected(kAnswerWithinMs);
    qCInfo(lcApp).noquote() << "the box is already running; it was asked to come to the front";
    return true;
}

void SingleInstance::answer()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->readAll().startsWith(kActivate.trimmed()))
                return;
            qCInfo(lcApp).noquote() << "another start of the box asked this one to come to the front";
            socket->disconnectFromServer();
            emit activationRequested();
        });
    }
}
