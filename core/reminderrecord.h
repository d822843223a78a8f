#pragma once
#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <QVector>

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
    // What a list can show and a notice can open: a time that can ring, and
    // the game and server a notice's "进入游戏" enters.
    bool isUsable() const { return hasTime && !tag.isEmpty() && !server.isEmpty(); }
    // The tab title of "进入游戏": the game's name straight followed by the server's.
    QString title() const { return gamename + servername; }
};

// How many of the records are reminders still to come at nowSecs: the ones
// the limit counts.
int upcomingReminders(const QJsonArray &records, qint64 nowSecs);

// The usable records of clocklist.txt, in file order; the broken ones stay
// in the file and are counted in one warning.
QVector<ReminderRecord> readUsableReminders();
