#include "reminderrecord.h"
#include "core/listfiles.h"
#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

ReminderRecord ReminderRecord::fromJson(const QJsonValue &value)
{
    ReminderRecord record;
    record.stored = value;
    const QJsonObject object = value.toObject();
    const auto text = [&object](const char *key) { return object.value(QLatin1String(key)).toString(); };
    record.gamename = text("gamename");
    record.servername = text("servername");
    record.server = text("server");
    record.tag = text("tag");
    record.remark = text("remark");
    const QJsonValue time = object.value(QStringLiteral("time"));
    const double seconds = time.toDouble();
    // Within the signed 32 bits the file's time stands for, and whole.
    record.hasTime = time.isDouble() && std::floor(seconds) == seconds && std::fabs(seconds) <= 2147483647.0;
    record.time = record.hasTime ? qint64(seconds) : 0;
    const QJsonValue music = object.value(QStringLiteral("musicReminds"));
    record.musicReminds = music.isDouble() ? music.toInt() : 0;
    return record;
}

int upcomingReminders(const QJsonArray &records, qint64 nowSecs)
{
    int upcoming = 0;
    for (const QJsonValue &value : records) {
        const ReminderRecord record = ReminderRecord::fromJson(value);
        upcoming += record.isUsable() && record.time > nowSecs;
    }
    return upcoming;
}

QVector<ReminderRecord> readUsableReminders()
{
    const QJsonArray stored = readReminderRecords();
    QVector<ReminderRecord> usable;
    usable.reserve(stored.size());
    for (const QJsonValue &value : stored) {
        ReminderRecord record = ReminderRecord::fromJson(value);
        if (record.isUsable())
            usable.append(std::move(record));
    }
    logBrokenRecords(ListFile::Reminders, stored.size() - usable.size(), stored.size());
    return usable;
}
