#include "listfiles.h"
#include "core/datadir.h"
#include "core/logging.h"
#include "core/jsontext.h"
#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

namespace {
const QString kClockList = QStringLiteral("clocklist.txt");
const QString kXiaohaoList = QStringLiteral("xiaohaoinfolist.txt");

QByteArray readListFile(const QString &name)
{
    QFile file(dataFilePath(name));
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCore).noquote() << "could not read" << file.fileName() << file.errorString();
        return QByteArray();
    }
    return file.readAll();
}

// A blank file is an empty list; anything else must be a JSON array.
bool parseList(const QByteArray &contents, QJsonArray *records)
{
    if (contents.trimmed().isEmpty()) {
        *records = QJsonArray();
        return true;
    }
    QString error;
    const QJsonDocument document = parseJsonText(contents, &error);
    if (!error.isEmpty() || !document.isArray())
        return false;
    *records = document.array();
    return true;
}

bool writeListFile(const QString &name, const QByteArray &contents)
{
    const QString path = dataFilePath(name);
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            qCWarning(lcCore).noquote() << name << "not saved: the existing file cannot be read" << existing.errorString();
            return false;
        }
        const QByteArray old = existing.readAll();
        existing.close();
        QJsonArray ignored;
        if (!parseList(old, &ignored) && keepAside(path).isEmpty()) {
            qCWarning(lcCore).noquote() << name << "not saved: the unreadable list could not be kept aside";
            return false;
        }
    }

    if (existing.exists())
        makePrivate(path); // the new file takes over the old one's permissions
    // Unbuffered, so that a short write (a full disk) shows here: a buffered
    // QSaveFile can report success and commit a truncated file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qCWarning(lcCore).noquote() << name << "not saved:" << file.errorString();
        return false;
    }
    file.setPermissions(kPrivateFile); // the scratch copy, which becomes the list
    if (file.write(contents) != contents.size()) {
        qCWarning(lcCore).noquote() << name << "not saved: short write" << file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        qCWarning(lcCore).noquote() << name << "not saved:" << file.errorString();
        return false;
    }
    return true;
}
} // namespace

QJsonArray parseListRecords(const QString &name, const QByteArray &contents)
{
    QJsonArray records;
    if (!parseList(contents, &records))
        qCWarning(lcCore).noquote() << name << "is not a JSON array; reading it as empty";
    return records;
}

QByteArray readReminderList() { return readListFile(kClockList); }
QByteArray readAltAccountList() { return readListFile(kXiaohaoList); }
bool writeReminderList(const QByteArray &contents) { return writeListFile(kClockList, contents); }
bool writeAltAccountList(const QByteArray &contents) { return writeListFile(kXiaohaoList, contents); }

QJsonArray readReminderRecords() { return parseListRecords(kClockList, readReminderList()); }
QJsonArray readAltAccountRecords() { return parseListRecords(kXiaohaoList, readAltAccountList()); }
bool writeReminderRecords(const QJsonArray &records) { return writeReminderList(jsonArrayToString(records).toUtf8()); }
bool writeAltAccountRecords(const QJsonArray &records) { return writeAltAccountList(jsonArrayToString(records).toUtf8()); }

Removal removeRecord(ListFile list, const QJsonValue &record)
{
    const QString name = list == ListFile::Reminders ? kClockList : kXiaohaoList;
    QJsonArray records = parseListRecords(name, readListFile(name));
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i) == record) {
            records.removeAt(i);
            return writeListFile(name, jsonArrayToString(records).toUtf8()) ? Removal::Removed : Removal::Failed;
        }
    }
    return Removal::AlreadyGone;
}

void logBrokenRecords(ListFile list, int broken, int total)
{
    if (broken == 0)
        return;
    qCWarning(lcCore).noquote() << QStringLiteral("%1: %2 of %3 records are broken; they stay in the file, unshown")
                                       .arg(list == ListFile::Reminders ? kClockList : kXiaohaoList)
                                       .arg(broken)
                                       .arg(total);
}

QString jsonArrayToString(const QJsonArray &array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}
