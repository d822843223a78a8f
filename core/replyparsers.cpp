#include "replyparsers.h"
#include <QJsonDocument>
#include <QJsonValue>

namespace {
// A whole number sent as a JSON number or as its decimal text.
bool readInt(const QJsonValue &value, int *out)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number != double(int(number)))
            return false;
        *out = int(number);
        return true;
    }
    bool ok = false;
    *out = value.toString().toInt(&ok, 10);
    return value.isString() && ok;
}

QJsonDocument parseJson(const QByteArray &body, QString *error)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        *error = QStringLiteral("not JSON (%1 at %2)").arg(parseError.errorString()).arg(parseError.offset);
    return document;
}
} // namespace

Parsed<UpdateInfo> parseUpdateReply(const QByteArray &body)
{
    Parsed<UpdateInfo> result;
    const QJsonDocument document = parseJson(body, &result.error);
    if (!result.ok())
        return result;
    if (!document.isObject()) {
        result.error = QStringLiteral("not a JSON object");
        return result;
    }
    const QJsonObject reply = document.object();
    // An absent code counts as 0 ("up to date"); one that is there must be whole.
    const QJsonValue code = reply.value(QStringLiteral("version_code"));
    if (!code.isUndefined() && !readInt(code, &result.value.versionCode)) {
        result.error = QStringLiteral("version_code is not a whole number");
        return result;
    }
    int force = 0;
    result.value.force = readInt(reply.value(QStringLiteral("force")), &force) && force == 1;
    result.value.reply = reply;
    return result;
}
