#include "loginrequest.h"
#include "core/endpoints.h"

namespace {
enum LoginCode {
    kClose = 1,
    kLoggedIn = 2,
    kMinimize = 3,
    kRegister = 12,
    kResetPassword = 15,
    kWeChatLogin = 90,
    kQqLogin = 91,
};
} // namespace

LoginRequest decideLoginMessage(const BridgeMessage &message)
{
    const int code = message.code;
    LoginRequest request;
    switch (code) {
    case kClose:
        request.action = LoginRequest::Close;
        break;
    case kLoggedIn: {
        request.action = LoginRequest::LoggedIn;
        bool isObject = false;
        const QJsonObject parameters = message.parameters(&isObject);
        if (isObject)
            request.name = parameters.value(QStringLiteral("name")).toString();
        else
            request.warning = QStringLiteral("login message without a JSON object; staying on the login page");
        break;
    }
    case kMinimize:
        request.action = LoginRequest::Minimize;
        break;
    case kRegister:
    case kResetPassword:
        request.action = LoginRequest::OpenInBrowser;
        request.url = Endpoints::url(code == kRegister ? Endpoints::Address::Registration
                                                       : Endpoints::Address::PasswordReset);
        break;
    case kWeChatLogin:
        request.action = LoginRequest::OpenWeChatLogin;
        break;
    case kQqLogin:
        request.action = LoginRequest::OpenQqLogin;
        break;
    default:
        break;
    }
    return request;
}
