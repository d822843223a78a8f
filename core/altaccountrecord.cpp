#include "altaccountrecord.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include <QJsonArray>
#include <QJsonObject>

AltAccountRecord AltAccountRecord::fromJson(const QJsonValue &value)
{
    AltAccountRecord record;
    record.stored = value;
    const QJsonObject object = value.toObject();
    const auto text = [&object](const char *key) { return object.value(QLatin1String(key)).toString(); };
    record.username = text("username");
    record.gamename = text("gamename");
    record.servername = text("servername");
    record.tag = text("tag");
    record.server = text("server");
    record.ckcode = text("ckcode");
    return record;
}

QUrl AltAccountRecord::enterGameUrl() const
{
    return Endpoints::url(Endpoints::Address::EnterGameAsAlt, {tag, server, username, ckcode});
}

QString AltAccountRecord::tabTitle() const
{
    return gamename + QStringLiteral(" · ") + username;
}

QVector<AltAccountRecord> readUsableAltAccounts()
{
    const QJsonArray stored = readAltAccountRecords();
    QVector<AltAccountRecord> usable;
    usable.reserve(stored.size());
    for (const QJsonValue &value : stored) {
        AltAccountRecord record = AltAccountRecord::fromJson(value);
        if (record.isUsable())
            usable.append(std::move(record));
    }
    logBrokenRecords(ListFile::AltAccounts, stored.size() - usable.size(), stored.size());
    return usable;
}
