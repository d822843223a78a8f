#include "fuzzinput.h"
#include "core/loginrequest.h"
#include "core/bridgejson.h"
#include "core/endpoints.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const BridgeMessage message = bridgeMessage(data, size);
    FUZZ_CHECK(message.forLog().size() <= 2 * kLoggedLength + 80);
    const LoginRequest request = decideLoginMessage(message);
    FUZZ_CHECK(request.action != LoginRequest::OpenInBrowser || Endpoints::isWebAddress(request.url));
    // A refused login carries no name that could be taken for a user.
    FUZZ_CHECK(request.action != LoginRequest::LoggedIn || request.warning.isEmpty() || request.name.isEmpty());
    return 0;
}
