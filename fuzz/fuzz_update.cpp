#include "fuzzinput.h"
#include "core/replyparsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Parsed<UpdateInfo> update = parseUpdateReply(fuzzBytes(data, size));
    FUZZ_CHECK(update.ok() || (update.value.versionCode == 0 && !update.value.force));
    return 0;
}
