#include "fuzzinput.h"
#include "core/utilities.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QMap<QString, QString> pairs = parseUrlQuery(QString::fromUtf8(reinterpret_cast<const char *>(data), int(qMin<size_t>(size, 1 << 24))));
    for (auto it = pairs.begin(); it != pairs.end(); ++it)
        FUZZ_CHECK(!it.key().isEmpty() && !it.value().isEmpty());
    return 0;
}
