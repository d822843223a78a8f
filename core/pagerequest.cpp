#include "pagerequest.h"
#include "core/endpoints.h"
#include <QUrl>

namespace {
enum PageCode {
    kOpenGamePage = 3,
    kEnterGame = 10,
    kSearch = 16,
    kAddReminder = 100,
    kOpenInBrowser = 888,
};

PageRequest refuse(const QString &why)
{
    PageRequest request;
    request.warning = why;
    return request;
}

// Unix seconds, as decimal text or as a whole JSON number.
bool readSeconds(const QJsonValue &time, qint64 *seconds)
{
    if (time.isDouble()) {
        const double value = time.toDouble();
        // Outside this range the conversion itself would be undefined.
        if (!(value > -9.2e18 && value < 9.2e18))
            return false;
        *seconds = qint64(value);
        return double(*seconds) == value;
    }
    bool ok = false;
    *seconds = time.toString().toLongLong(&ok, 10);
    return ok;
}
} // namespace

PageRequest decidePageMessage(const BridgeMessage &message)
{
    const int code = message.code;
    if (code == kSearch) {
        PageRequest request;
        request.action = PageRequest::SearchTab;
        return request;
    }
    if (code != kOpenGamePage && code != kEnterGame && code != kAddReminder && code != kOpenInBrowser)
        return PageRequest();

    bool isObject = false;
    const QJsonObject parameters = message.parameters(&isObject);
    if (!isObject)
        return refuse(QStringLiteral("page message %1 ignored: its parameters are not a JSON object").arg(code));

    PageRequest request;
    switch (code) {
    case kOpenGamePage:
    case kEnterGame: {
        request.title = parameters.value(QStringLiteral("title")).toString();
        request.url = QUrl(parameters.value(QStringLiteral("url")).toString());
        // An empty address still opens its (blank) tab; anything but a web
        // address would give the page's bridge to whatever it points at.
        if (!request.url.isEmpty() && !Endpoints::isWebAddress(request.url))
            return refuse(QStringLiteral("page asked for a tab on a non-web address; ignored: %1")
                              .arg(Endpoints::urlForLog(request.url)));
        request.action = code == kEnterGame ? PageRequest::EnterGame : PageRequest::OpenTab;
        break;
    }
    case kOpenInBrowser:
        request.url = QUrl(parameters.value(QStringLiteral("url")).toString());
        if (!Endpoints::isWebAddress(request.url))
            return refuse(QStringLiteral("page asked to open a non-web address in the browser; ignored: %1")
                              .arg(Endpoints::urlForLog(request.url)));
        request.action = PageRequest::OpenInBrowser;
        break;
    case kAddReminder:
        request.action = PageRequest::AddReminder;
        request.game = parameters.value(QStringLiteral("game")).toString();
        request.server = parameters.value(QStringLiteral("server")).toString();
        if (!readSeconds(parameters.value(QStringLiteral("time")), &request.time)) {
            request.time = 0;
            request.warning = QStringLiteral("reminder request without a time in whole seconds; proposing none");
        }
        break;
    default:
        break;
    }
    return request;
}
