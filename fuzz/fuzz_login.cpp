#include "fuzzinput.h"
#include "core/replyparsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Parsed<LoginReply> login = parseLoginReply(fuzzBytes(data, size));
    // Nothing is stored without a check code, and a lock is a refusal.
    FUZZ_CHECK(!login.value.valid || (login.ok() && !login.value.ckcode.isEmpty()));
    FUZZ_CHECK(!(login.value.valid && login.value.locked));
    return 0;
}
