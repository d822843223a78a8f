#pragma once
#include <QJsonObject>

// A reminder record as the add dialog writes it.
inline QJsonObject reminderRecord(const QString &server, qint64 time, int music = 0)
{
    return QJsonObject{{QStringLiteral("gamename"), QStringLiteral("西游降魔录")},
                       {QStringLiteral("musicReminds"), music},
                       {QStringLiteral("remark"), QStringLiteral("早点上线")},
                       {QStringLiteral("server"), server},
                       {QStringLiteral("servername"), QStringLiteral("双线") + server},
                       {QStringLiteral("tag"), QStringLiteral("xyj")},
                       {QStringLiteral("time"), time}};
}

// An alt account's record, its check code made from its name.
inline QJsonObject altAccountRecord(const QString &name)
{
    return QJsonObject{{QStringLiteral("ckcode"), QStringLiteral("ck-") + name}, {QStringLiteral("gamename"), QStringLiteral("西游降魔录")},
                       {QStringLiteral("server"), QStringLiteral("s1")}, {QStringLiteral("servername"), QStringLiteral("双线1服")},
                       {QStringLiteral("tag"), QStringLiteral("xyj")}, {QStringLiteral("username"), name}};
}
