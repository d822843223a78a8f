#include "replyparsers.h"
#include "core/jsontext.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QMap>
#include <climits>
#include <cmath>

namespace {
// A whole number sent as a JSON number or as its decimal text.
bool readInt(const QJsonValue &value, int *out)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        // Outside int's range the conversion itself is undefined.
        if (!(number >= INT_MIN && number <= INT_MAX) || number != double(int(number)))
            return false;
        *out = int(number);
        return true;
    }
    bool ok = false;
    *out = value.toString().toInt(&ok, 10);
    return value.isString() && ok;
}

// A value as text: strings as they are, numbers as their decimal text.
QString text(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (std::floor(number) == number && std::fabs(number) < 1e15)
            return QString::number(qint64(number));
        return QString::number(number, 'g', 17);
    }
    return value.toString();
}

enum class Shape { Object, Array };

// The reply's document; *error says why when it is not JSON of that shape.
QJsonDocument parseJson(const QByteArray &body, Shape shape, QString *error)
{
    const QJsonDocument document = parseJsonText(body, error);
    if (!error->isEmpty())
        *error = QStringLiteral("not JSON (%1)").arg(*error);
    else if (shape == Shape::Object && !document.isObject())
        *error = QStringLiteral("not a JSON object");
    else if (shape == Shape::Array && !document.isArray())
        *error = QStringLiteral("not a JSON array");
    return document;
}
} // namespace

Parsed<UpdateInfo> parseUpdateReply(const QByteArray &body)
{
    Parsed<UpdateInfo> result;
    const QJsonDocument document = parseJson(body, Shape::Object, &result.error);
    if (!result.ok())
        return result;
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

namespace {
// The elements of a JSON array that are objects carrying codeKey, as
// (code, name) in reply order.
Parsed<QList<PortalChoice>> parseChoices(const QByteArray &body, const char *codeKey)
{
    Parsed<QList<PortalChoice>> result;
    const QJsonDocument document = parseJson(body, Shape::Array, &result.error);
    if (!result.ok())
        return result;
    const QJsonArray elements = document.array();
    for (const QJsonValue &element : elements) {
        const QString code = text(element.toObject().value(QLatin1String(codeKey)));
        if (element.isObject() && !code.isEmpty())
            result.value.append({code, text(element.toObject().value(QStringLiteral("gamename")))});
    }
    // A list of nothing but junk is a broken reply, not an empty portal: the
    // boxes keep what they show.
    if (result.value.isEmpty() && !elements.isEmpty())
        result.error = QStringLiteral("no usable entry among %1").arg(elements.size());
    return result;
}
} // namespace

Parsed<QList<PortalChoice>> parseGameList(const QByteArray &body)
{
    Parsed<QList<PortalChoice>> games = parseChoices(body, "tag");
    QMap<QString, QString> byName; // sorted by QString's order: UTF-16 code units
    for (const PortalChoice &game : qAsConst(games.value))
        byName.insert(game.name, game.code);
    games.value.clear();
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        games.value.append({it.value(), it.key()});
    return games;
}

Parsed<QList<PortalChoice>> parseServerList(const QByteArray &body)
{
    return parseChoices(body, "server");
}

Parsed<LoginReply> parseLoginReply(const QByteArray &body)
{
    Parsed<LoginReply> result;
    const QJsonDocument document = parseJson(body, Shape::Object, &result.error);
    if (!result.ok())
        return result;
    const QJsonObject reply = document.object();
    const QJsonValue msg = reply.value(QStringLiteral("msg"));
    if (msg.isDouble() && msg.toDouble() == 1.0) {
        result.value.ckcode = reply.value(QStringLiteral("ckcode")).toString();
        if (result.value.ckcode.isEmpty())
            result.error = QStringLiteral("an accepted login without a check code");
        result.value.valid = result.ok();
        return result;
    }
    result.value.locked = reply.value(QStringLiteral("code")) == QJsonValue(QStringLiteral("-2"));
    return result;
}
