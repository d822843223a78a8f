#include "fuzzinput.h"
#include "core/listfiles.h"
#include "core/reminderrecord.h"
#include <QJsonArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonArray records = parseListRecords(QStringLiteral("clocklist.txt"), fuzzBytes(data, size));
    for (const QJsonValue &value : records) {
        const ReminderRecord record = ReminderRecord::fromJson(value);
        FUZZ_CHECK(record.stored == value);
        // Only whole times within the file's 32 bits can ring.
        FUZZ_CHECK(record.hasTime || record.time == 0);
        FUZZ_CHECK(qAbs(record.time) <= 2147483647);
        (void)record.title();
    }
    return 0;
}
