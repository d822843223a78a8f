#include "fuzzinput.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"
#include "core/pagerequest.h"
#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const BridgeMessage message = bridgeMessage(data, size);
    // The game page logs every message before deciding on it.
    FUZZ_CHECK(message.forLog().size() <= 2 * kLoggedLength + 80);
    const PageRequest request = decidePageMessage(message);
    switch (request.action) {
    case PageRequest::OpenTab:
    case PageRequest::EnterGame:
        // A tab gets the page's bridge: web addresses only (or a blank tab).
        FUZZ_CHECK(request.url.isEmpty() || Endpoints::isWebAddress(request.url));
        break;
    case PageRequest::OpenInBrowser:
        FUZZ_CHECK(Endpoints::isWebAddress(request.url));
        break;
    case PageRequest::Nothing:
    case PageRequest::SearchTab:
    case PageRequest::AddReminder:
        break;
    }
    return 0;
}
