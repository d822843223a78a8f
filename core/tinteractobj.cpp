#include "tinteractobj.h"
#include <QJsonArray>
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

namespace {
// Passwords, check codes (enough to enter a game as that account), tokens,
// sessions and cookies.
const QString kSecretKey = QStringLiteral("pass|pwd|ckcode|token|secret|session|cookie");

bool isSecretKey(const QString &key)
{
    static const QRegularExpression kPattern(kSecretKey, QRegularExpression::CaseInsensitiveOption);
    return kPattern.match(key).hasMatch();
}

QJsonValue masked(const QJsonValue &value)
{
    if (value.isObject()) {
        QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            it.value() = isSecretKey(it.key()) ? QJsonValue(QStringLiteral("***")) : masked(it.value());
        return object;
    }
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        for (auto it = array.begin(); it != array.end(); ++it)
            *it = masked(*it);
        return array;
    }
    return value;
}
} // namespace

QString bridgeJsonForLog(const QString &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error == QJsonParseError::NoError && document.isObject())
        return QString::fromUtf8(QJsonDocument(masked(document.object()).toObject()).toJson(QJsonDocument::Compact));
    if (error.error == QJsonParseError::NoError && document.isArray())
        return QString::fromUtf8(QJsonDocument(masked(document.array()).toArray()).toJson(QJsonDocument::Compact));

    // Not JSON (a bare address, a query, broken text): mask "key": "value"
    // and key=value forms in the text itself.
    static const QRegularExpression kSecret(
        QStringLiteral(R"((["']?[\w-]*(?:%1)[\w-]*["']?\s*[:=]\s*)("(?:[^"\\]|\\.)*"|'[^']*'|[^,&}\s]*))").arg(kSecretKey),
        QRegularExpression::CaseInsensitiveOption);
    QString text = json;
    text.replace(kSecret, QStringLiteral("\\1\"***\""));
    return text;
}
