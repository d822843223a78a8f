#include "utilities.h"
#include <QDir>
#include <QRegularExpression>

qint64 dirSize(const QString &path)
{
    const QDir dir(path);
    qint64 total = 0;
    const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::NoSort);
    for (const QFileInfo &file : files)
        total += file.size();
    const QStringList subdirs = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::NoSort);
    for (const QString &name : subdirs)
        total += dirSize(path + QDir::separator() + name);
    return total;
}

QMap<QString, QString> parseUrlQuery(const QString &url)
{
    QMap<QString, QString> pairs;
    const QStringList parts = url.split(QLatin1Char('?'));
    if (parts.size() < 2)
        return pairs;

    static const QRegularExpression kPair(QStringLiteral("(\\w+)=(\\w+)"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    QRegularExpressionMatchIterator it = kPair.globalMatch(parts.at(1));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        pairs.insert(match.captured(1), match.captured(2));
    }
    return pairs;
}
