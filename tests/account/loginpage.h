#pragma once
#include "account/logindig.h"
#include "core/tinteractobj.h"
#include "web/webview.h"
#include <QtTest>

inline TInteractObj *bridgeOf(QWebEngineView *view)
{
    return view->findChild<TInteractObj *>();
}

// Waits until the window's handler has seen a message with this code.
inline bool waitForCode(QSignalSpy &spy, int code, int msec = 10000)
{
    return QTest::qWaitFor([&] {
        for (const QList<QVariant> &message : qAsConst(spy)) {
            if (message.at(0).toInt() == code)
                return true;
        }
        return false;
    }, msec);
}

// The demo portal's login page, loaded and showing its form (code 17).
inline bool waitForLoginPage(LoginDig *login)
{
    QSignalSpy loaded(login->webView(), &QWebEngineView::loadFinished);
    QSignalSpy received(bridgeOf(login->webView()), &TInteractObj::SigReceivedMessFromJS);
    return loaded.wait(20000) && loaded.last().first().toBool() && waitForCode(received, 17);
}
