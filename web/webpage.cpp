#include "webpage.h"
#include "core/logging.h"
#include "web/profiles.h"
#include "core/endpoints.h"
#include <QUrl>

WebPage::WebPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    Profiles::countPage(this);
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                       int lineNumber, const QString &sourceID)
{
    const QString source = Endpoints::urlForLog(QUrl(sourceID));
    const QString where = QStringLiteral("(%1:%2)").arg(source).arg(lineNumber);
    switch (level) {
    case InfoMessageLevel:
        qCDebug(lcWebJs).noquote() << message << where;
        break;
    case WarningMessageLevel:
        qCInfo(lcWebJs).noquote() << message << where;
        break;
    case ErrorMessageLevel:
        qCWarning(lcWebJs).noquote() << message << where;
        break;
    }
}
