#pragma once
#include <QJsonValue>
#include <QString>
#include <QUrl>
#include <QVector>

// One element of xiaohaoinfolist.txt as the alt-account table reads it. A
// missing or wrong-typed value reads as empty text; an element that is not an
// object reads as an empty record. The element itself is kept as it was
// read, so that a deletion finds it in the file unchanged.
struct AltAccountRecord {
    QJsonValue stored;
    QString username;
    QString gamename;
    QString servername;
    QString tag;    // game abbreviation
    QString server; // server abbreviation
    QString ckcode; // enters the game as this account: never logged

    static AltAccountRecord fromJson(const QJsonValue &value);
    // What "开始游戏" needs to enter a game as this account.
    bool isUsable() const { return !username.isEmpty() && !tag.isEmpty() && !server.isEmpty() && !ckcode.isEmpty(); }
    // The title of the tab it opens: told apart from the same game played
    // as the user, or as another alt account.
    QString tabTitle() const;
    // The game page of this account's server, entered as this account.
    QUrl enterGameUrl() const;
};

// The usable records of xiaohaoinfolist.txt, in file order; the broken ones
// stay in the file and are counted in one warning.
QVector<AltAccountRecord> readUsableAltAccounts();
