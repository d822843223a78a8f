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

char unescaped(char escaped)
{
    switch (escaped) {
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return escaped; // '"', '\\', '/', and whatever Qt will refuse
    }
}

// Skips the string that starts with the quote at *at, to past its closing
// quote (or to the end of the text), decoding it into *value when given.
void readString(const QByteArray &text, int *at, QString *value)
{
    int i = *at + 1;
    int run = i; // start of the current stretch without escapes
    const int n = text.size();
    while (i < n && text.at(i) != '"') {
        if (text.at(i) != '\\') {
            ++i;
            continue;
        }
        if (value)
            *value += QString::fromUtf8(text.constData() + run, i - run);
        const char escaped = i + 1 < n ? text.at(i + 1) : '\0';
        i = qMin(i + 2, n); // a backslash may be the text's last character
        ushort unit = ushort(uchar(unescaped(escaped)));
        if (escaped == 'u') {
            unit = 0;
            for (int k = 0; k < 4 && i < n && hexDigit(text.at(i)) >= 0; ++k, ++i)
                unit = ushort(unit * 16 + hexDigit(text.at(i)));
        }
        if (value)
            *value += QChar(unit);
        run = i;
    }
    if (value)
        *value += QString::fromUtf8(text.constData() + run, i - run);
    *at = i + 1;
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
            if (open.isEmpty() || !open.last().object || !open.last().expectKey) {
                readString(text, &i, nullptr);
                continue;
            }
            QString key;
            readString(text, &i, &key);
            open.last().expectKey = false;
            if (open.last().keys.contains(key))
                return start;
            open.last().keys.insert(key);
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
