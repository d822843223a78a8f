#pragma once
#include <QByteArray>
#include <QJsonArray>
#include <QString>

// The reminder list (clocklist.txt) and the alt-account list
// (xiaohaoinfolist.txt): compact UTF-8 JSON arrays in the data folder, read
// and written whole on every change.
//
// Reading never changes a file; a missing file reads as empty. Writing goes
// through a temporary file and a rename, so a failed write leaves the old list
// whole; a list that exists but is not a JSON array is kept aside as
// "<name>.corrupt-<time>" before anything replaces it, and when that cannot
// be done nothing is written. Writes return whether the list reached the disk.
QByteArray readReminderList();
QByteArray readAltAccountList();
bool writeReminderList(const QByteArray &contents);
bool writeAltAccountList(const QByteArray &contents);

// The same lists as records: an unparsable list reads as empty, with a warning.
QJsonArray readReminderRecords();
QJsonArray readAltAccountRecords();
// What those two read, from the contents of the list file called name.
QJsonArray parseListRecords(const QString &name, const QByteArray &contents);
bool writeReminderRecords(const QJsonArray &records);
bool writeAltAccountRecords(const QJsonArray &records);

// Removes the record equal to `record` from the list as the file holds it
// now: another window may have changed the file since the record was read,
// and what it added must survive. Failed: the file could not be written and
// still holds the record.
enum class ListFile { Reminders, AltAccounts };
enum class Removal { Removed, AlreadyGone, Failed };
Removal removeRecord(ListFile list, const QJsonValue &record);

// The one warning for the records of a list that cannot be used: they are
// neither shown nor dropped, and stay in the file as they were.
void logBrokenRecords(ListFile list, int broken, int total);

// Compact JSON, keys in ascending order, non-ASCII text as UTF-8.
QString jsonArrayToString(const QJsonArray &array);
