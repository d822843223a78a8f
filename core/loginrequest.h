#pragma once
#include "core/bridgejson.h"
#include <QString>
#include <QUrl>

// What a message of the login page (or of a QQ or WeChat login page) asks
// the login window to do, decided from the code and the json text alone (no
// web engine, no widgets), so that it is tested and fuzzed as a plain
// function. LoginWindow carries the decision out.
struct LoginRequest {
    enum Action {
        Nothing,        // unknown code, or 17 (the form is shown)
        Close,          // 1
        LoggedIn,       // 2: name, when the parameters were a JSON object (else warning)
        Minimize,       // 3
        OpenInBrowser,  // 12 registration, 15 password reset: url
        OpenQqLogin,    // 91
        OpenWeChatLogin // 90
    };
    Action action = Nothing;
    QString name;
    QUrl url;
    QString warning;
};

LoginRequest decideLoginMessage(const BridgeMessage &message);
