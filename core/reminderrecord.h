#pragma once
#include <QJsonArray>
#include <QJsonValue>
#include <QString>

// How many reminders the user may keep, and so how many ever ring.
constexpr int kReminderLimit = 3;

// One element of clocklist.txt as the reminders read it. A missing or
// wrong-typed value reads as empty text, or as 0; an element that is not an
// object reads as an empty record. The element itself is kept as it was
// read, so that a save can write it back unchanged and a deletion can find it.
struct ReminderRecord {
    QJsonValue stored;
    QString gamename;
    QString servername;
    QString server; // server abbreviation
    QString tag;    // game abbreviation
    QString remark;
    qint64 time = 0;        // Unix seconds
    bool hasTime = false;   // time is a whole number: the reminder can ring
    int musicReminds = 0;

    static ReminderRecord fromJson(const QJsonValue &value);
    // The tab title of "进入游戏": the game's name straight followed by the server's.
    QString title() const { return gamename + servername; }
};

// How many of the records are reminders still to come at nowSecs: the ones
// the limit counts.
int upcomingReminders(const QJsonArray &records, qint64 nowSecs);
