#include "bridgejson.h"
#include "core/jsontext.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cctype>

namespace {
bool isSecretKey(const QString &key)
{
    // Passwords, check codes (enough to enter a game as that account),
    // tokens, sessions and cookies.
    static const QRegularExpression kPattern(QStringLiteral("pass|pwd|ckcode|token|secret|session|cookie"),
                                             QRegularExpression::CaseInsensitiveOption);
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

bool isKeyChar(QChar c)
{
    const ushort u = c.unicode();
    return (u < 128 && (std::isalnum(u) || u == '_')) || u == '-';
}

bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// Where a value that starts at `at` ends: a quoted string up to its closing
// quote, else up to the next separator.
int valueEnd(const QString &text, int at)
{
    const int n = text.size();
    if (at < n && isQuote(text.at(at))) {
        const QChar quote = text.at(at);
        for (int i = at + 1; i < n; ++i) {
            if (quote == QLatin1Char('"') && text.at(i) == QLatin1Char('\\'))
                ++i;
            else if (text.at(i) == quote)
                return i + 1;
        }
        // Unterminated: read it like an unquoted value.
    }
    int i = at;
    while (i < n && !text.at(i).isSpace() && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('&')
           && text.at(i) != QLatin1Char('}'))
        ++i;
    return i;
}

// One pass over text that is not JSON (a bare address, a query, broken
// JSON): the values of "key": value and key=value pairs with secret keys
// become "***". A scan, not a regular expression: a page's megabyte of
// letters must not cost quadratic time.
QString maskText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const int n = text.size();
    int i = 0;
    while (i < n) {
        int j = i;
        if (isQuote(text.at(j)))
            ++j;
        const int keyStart = j;
        while (j < n && isKeyChar(text.at(j)))
            ++j;
        if (j == keyStart) {
            out += text.at(i++);
            continue;
        }
        const QString key = text.mid(keyStart, j - keyStart);
        if (j < n && isQuote(text.at(j)))
            ++j;
        int value = j;
        while (value < n && text.at(value).isSpace())
            ++value;
        if (value < n && (text.at(value) == QLatin1Char(':') || text.at(value) == QLatin1Char('='))
            && isSecretKey(key)) {
            ++value;
            while (value < n && text.at(value).isSpace())
                ++value;
            out += text.midRef(i, value - i);
            out += QLatin1String("\"***\"");
            i = valueEnd(text, value);
            continue;
        }
        out += text.midRef(i, j - i);
        i = j;
    }
    return out;
}

QString logText(const QJsonDocument &document, const QString &raw)
{
    QString text;
    if (document.isObject())
        text = QString::fromUtf8(QJsonDocument(masked(document.object()).toObject()).toJson(QJsonDocument::Compact));
    else if (document.isArray())
        text = QString::fromUtf8(QJsonDocument(masked(document.array()).toArray()).toJson(QJsonDocument::Compact));
    else
        text = maskText(raw);
    if (text.size() > kLoggedLength)
        return text.left(kLoggedLength) + QStringLiteral("... (%1 characters)").arg(text.size());
    return text;
}

QJsonDocument parsedOrNothing(const QString &text)
{
    QString error;
    const QJsonDocument document = parseJsonText(text.toUtf8(), &error);
    return error.isEmpty() ? document : QJsonDocument();
}
} // namespace

BridgeMessage BridgeMessage::parse(int code, const QString &str, const QString &json)
{
    return BridgeMessage{code, str, json, parsedOrNothing(json)};
}

QJsonObject BridgeMessage::parameters(bool *ok) const
{
    *ok = document.isObject();
    return document.object();
}

QString BridgeMessage::forLog() const
{
    return bridgeJsonForLog(str) + QLatin1Char(' ') + logText(document, json);
}

QString bridgeJsonForLog(const QString &text)
{
    return logText(parsedOrNothing(text), text);
}
