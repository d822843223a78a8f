#include "jsontext.h"
#include <QSet>
#include <QVector>

namespace {
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The string that starts with the quote at *at, decoded as far as keys need
// comparing; *at ends past its closing quote (or at the end of the text).
QString readString(const QByteArray &text, int *at)
{
    QString value;
    int i = *at + 1;
    int run = i; // start of the current stretch without escapes
    const int n = text.size();
    while (i < n && text.at(i) != '"') {
        if (text.at(i) != '\\') {
            ++i;
            continue;
        }
        value += QString::fromUtf8(text.constData() + run, i - run);
        const char escaped = i + 1 < n ? text.at(i + 1) : '\0';
        i = qMin(i + 2, n); // a backslash may be the text's last character
        if (escaped == 'u') {
            ushort unit = 0;
            for (int k = 0; k < 4 && i < n && hexDigit(text.at(i)) >= 0; ++k, ++i)
                unit = ushort(unit * 16 + hexDigit(text.at(i)));
            value += QChar(unit);
        } else {
            // \n, \t and the like differ from each other and from every
            // other character, which is all a comparison needs.
            value += QLatin1Char('\\');
            value += QLatin1Char(escaped);
        }
        run = i;
    }
    value += QString::fromUtf8(text.constData() + run, i - run);
    *at = i + 1;
    return value;
}

// Offset of the first key an object repeats, or -1. A lenient scan: text
// that is no JSON at all is left for Qt to refuse.
int firstRepeatedKey(const QByteArray &text)
{
    struct Open {
        bool object;
        bool expectKey;
        QSet<QString> keys;
    };
    QVector<Open> open;
    const int n = text.size();
    int i = 0;
    while (i < n) {
        const char c = text.at(i);
        if (c == '"') {
            const int start = i;
            const QString value = readString(text, &i);
            if (!open.isEmpty() && open.last().object && open.last().expectKey) {
                open.last().expectKey = false;
                if (open.last().keys.contains(value))
                    return start;
                open.last().keys.insert(value);
            }
            continue;
        }
        if (c == '{' || c == '[')
            open.append(Open{c == '{', c == '{', {}});
        else if ((c == '}' || c == ']') && !open.isEmpty())
            open.removeLast();
        else if (c == ',' && !open.isEmpty())
            open.last().expectKey = open.last().object;
        ++i;
    }
    return -1;
}
} // namespace

QJsonDocument parseJsonText(const QByteArray &text, QString *error)
{
    error->clear();
    const int repeated = firstRepeatedKey(text);
    if (repeated >= 0) {
        *error = QStringLiteral("a key named twice (at %1)").arg(repeated);
        return QJsonDocument();
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1 at %2").arg(parseError.errorString()).arg(parseError.offset);
        return QJsonDocument();
    }
    return document;
}
