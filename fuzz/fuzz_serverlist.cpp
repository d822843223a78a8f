#include "fuzzinput.h"
#include "core/replyparsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Parsed<QList<PortalChoice>> servers = parseServerList(fuzzBytes(data, size));
    FUZZ_CHECK(servers.ok() || servers.value.isEmpty());
    for (const PortalChoice &server : servers.value)
        FUZZ_CHECK(!server.code.isEmpty());
    return 0;
}
