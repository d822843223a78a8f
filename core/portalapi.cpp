#include "portalapi.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace {
const char *const kTooLarge = "kavoTooLarge";
const char *const kTooLate = "kavoTooLate";

// The reply as the client sees it, with the lines every reply gets in the
// log. The error is told by name: Qt's own error text quotes the whole
// address, and some carry passwords or check codes.
PortalReply outcome(QNetworkReply *reply)
{
    PortalReply result;
    result.url = reply->url();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        result.status = status.toInt();
        qCDebug(lcCore) << "status code=" << result.status;
    }
    const QVariant reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute);
    if (reason.isValid())
        qCDebug(lcCore).noquote() << "reason=" << reason.toString();
    // All of a large body can arrive before its first progress report.
    if (reply->error() == QNetworkReply::NoError && reply->bytesAvailable() > PortalApi::kMaxBodyBytes)
        reply->setProperty(kTooLarge, true);
    if (reply->error() == QNetworkReply::NoError && !reply->property(kTooLarge).toBool()) {
        result.ok = true;
        result.body = reply->readAll();
        return result;
    }
    // Our own aborts show as a cancelled request.
    if (reply->property(kTooLarge).toBool())
        result.error = QStringLiteral("reply larger than %1 KB").arg(PortalApi::kMaxBodyBytes / 1024);
    else if (reply->property(kTooLate).toBool())
        result.error = QStringLiteral("no answer within %1 s").arg(PortalApi::kTimeoutMs / 1000);
    else
        result.error = QString::fromLatin1(QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error()));
    qCWarning(lcCore).noquote() << "Failed:" << Endpoints::urlForLog(result.url) << result.error;
    return result;
}
} // namespace

PortalApi::PortalApi(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
}

void PortalApi::get(const QUrl &url, QObject *context, Handler handler)
{
    QNetworkReply *reply = m_network->get(QNetworkRequest(url));
    // A deadline for the whole request: Qt's transfer time-out only counts
    // silence, and a server that trickles a byte now and then would hold
    // the request open for ever.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply] {
        reply->setProperty(kTooLate, true);
        reply->abort();
    });
    deadline->start(kTimeoutMs);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > kMaxBodyBytes || total > kMaxBodyBytes) {
            reply->setProperty(kTooLarge, true);
            reply->abort(); // finishes the reply, and so calls the handler
        }
    });
    const QPointer<QObject> guard(context);
    connect(reply, &QNetworkReply::finished, this, [reply, guard, hasContext = context != nullptr, handler] {
        reply->deleteLater();
        if (!hasContext || guard)
            handler(outcome(reply));
    });
}
