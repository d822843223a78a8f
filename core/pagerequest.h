#pragma once
#include "core/bridgejson.h"
#include <QString>
#include <QUrl>

// What a game page's bridge message asks the client to do, decided from the
// code and the json text alone (no web engine, no widgets), so that every
// message a page can send is tested and fuzzed as a plain function. GamePage
// carries the decision out.
struct PageRequest {
    enum Action {
        Nothing,       // unknown code, or refused (see warning)
        OpenTab,       // 3: title, url
        EnterGame,     // 10: title, url; the box maximised
        SearchTab,     // 16
        AddReminder,   // 100: game, server, time
        OpenInBrowser, // 888: url
    };
    Action action = Nothing;
    QString title;
    QUrl url; // as the page sent it; only web addresses (or none, for a blank tab)
    QString game;
    QString server;
    qint64 time = 0; // Unix seconds; 0 when the page sent none usable
    // For the log: why the message was refused, or what was wrong with an
    // accepted one.
    QString warning;
};

PageRequest decidePageMessage(const BridgeMessage &message);
