#pragma once
#include <QByteArray>
#include <QJsonArray>
#include <QMap>
#include <QString>

class QNetworkAccessManager;

// The reminder list (clocklist.txt) and the alt-account list
// (xiaohaoinfolist.txt): compact UTF-8 JSON arrays in the data folder, read
// and written whole on every change.
//
// Reading never changes a file; a missing file reads as empty. Writing goes
// through a temporary file and a rename, so a failed write leaves the old list
// whole; a list that exists but is not a JSON array is kept aside as
// "<name>.corrupt-<time>" before anything replaces it, and when that cannot
// be done nothing is written. Writes return whether the list reached the disk.
QByteArray readClockList();
QByteArray readXiaohaoList();
bool writeClockList(const QByteArray &contents);
bool writeXiaohaoList(const QByteArray &contents);

// The same lists as records: an unparsable list reads as empty, with a warning.
QJsonArray readClockRecords();
QJsonArray readXiaohaoRecords();
bool writeClockRecords(const QJsonArray &records);
bool writeXiaohaoRecords(const QJsonArray &records);

// Compact JSON, keys in ascending order, non-ASCII text as UTF-8.
QString jsonArrayToString(const QJsonArray &array);

// Total size in bytes of the regular files below path (hidden files are not
// counted; links to folders are not followed, so a link loop cannot recurse).
qint64 dirSize(const QString &path);

// The key=value pairs of the text between the first and a second "?", where
// keys and values are runs of word characters of any script: a value stops at
// the first other character and an empty value is skipped.
QMap<QString, QString> parseUrlQuery(const QString &url);

// Starts a GET of url and returns the manager carrying it: connect to its
// finished(QNetworkReply*). The manager deletes itself once that has run.
QNetworkAccessManager *sendGetRequest(const QString &url);
