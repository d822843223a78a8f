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
