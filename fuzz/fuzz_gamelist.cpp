#include "fuzzinput.h"
#include "core/replyparsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Parsed<QList<PortalChoice>> games = parseGameList(fuzzBytes(data, size));
    FUZZ_CHECK(games.ok() || games.value.isEmpty());
    // One entry per name, in order, each with an abbreviation.
    for (int i = 0; i < games.value.size(); ++i) {
        FUZZ_CHECK(!games.value.at(i).code.isEmpty());
        FUZZ_CHECK(i == 0 || games.value.at(i - 1).name < games.value.at(i).name);
    }
    return 0;
}
