#include "tinteractobj.h"
#include <QJsonDocument>
#include <QRegularExpression>
#include <QWebChannel>
#include <QWebEngineView>

TInteractObj::TInteractObj(QObject *parent)
    : QObject(parent)
{
}

void TInteractObj::JSSendMessage(int strParameter, QString str, QString json)
{
    emit SigReceivedMessFromJS(strParameter, str, json);
}

TInteractObj *installBridge(QWebEngineView *view)
{
    QWebEnginePage *page = view->page();
    auto *channel = new QWebChannel(page);
    auto *bridge = new TInteractObj(view);
    channel->registerObject(QStringLiteral("interactObj"), bridge);
    page->setWebChannel(channel);
    return bridge;
}

QJsonObject bridgeParameters(const QString &json, bool *ok)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    *ok = error.error == QJsonParseError::NoError && document.isObject();
    return *ok ? document.object() : QJsonObject();
}

QString bridgeJsonForLog(const QString &json)
{
    // Works on the text rather than a parsed document, so that what is not
    // JSON at all is masked too. Matches "key": "value" and key=value forms.
    static const QRegularExpression kSecret(
        QStringLiteral(R"((["']?\b(?:pass(?:word|wd)?|pwd|passwd)\b["']?\s*[:=]\s*)("(?:[^"\\]|\\.)*"|'[^']*'|[^,&}\s]*))"),
        QRegularExpression::CaseInsensitiveOption);
    QString masked = json;
    masked.replace(kSecret, QStringLiteral("\\1\"***\""));
    return masked;
}
