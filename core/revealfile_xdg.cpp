#include "revealfile.h"
#include "core/logging.h"
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace {
void openFolder(const QString &path, const QString &why)
{
    const QString folder = QFileInfo(path).absolutePath();
    qCInfo(lcApp).noquote() << "no file manager to show the file (" + why + "); opening its folder:" << folder;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        qCWarning(lcApp).noquote() << "nothing here can show the folder" << folder;
}
} // namespace

void revealFile(const QString &path)
{
    // The freedesktop file manager interface: any file manager that owns the
    // name answers, whichever the desktop uses.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(path, QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [path](QDBusPendingCallWatcher *answer) {
        answer->deleteLater();
        const QDBusPendingReply<> reply = *answer;
        if (reply.isError()) {
            openFolder(path, reply.error().name());
            return;
        }
        qCInfo(lcApp).noquote() << "shown in the file manager:" << path;
    });
}
