#include "fuzzinput.h"
#include "core/altaccountrecord.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include <QJsonArray>
#include <QUrlQuery>

namespace {
// A lone surrogate (JSON's "\ud800") cannot travel as UTF-8.
QString asSent(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    return QString::fromUtf8(utf8.constData(), utf8.size());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonArray records = parseListRecords(QStringLiteral("xiaohaoinfolist.txt"), fuzzBytes(data, size));
    for (const QJsonValue &value : records) {
        const AltAccountRecord record = AltAccountRecord::fromJson(value);
        FUZZ_CHECK(record.stored == value);
        // Whatever the file holds, each value arrives whole in its own query
        // item, and the check code never reaches a log line.
        const QUrl url = record.enterGameUrl();
        const QUrlQuery query(url);
        FUZZ_CHECK(query.queryItemValue(QStringLiteral("ckcode"), QUrl::FullyDecoded) == asSent(record.ckcode));
        FUZZ_CHECK(query.queryItemValue(QStringLiteral("boxSmall"), QUrl::FullyDecoded) == asSent(record.username));
        FUZZ_CHECK(!Endpoints::urlForLog(url).contains(QLatin1Char('?')));
    }
    return 0;
}
