#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// The portal's replies, read from the body alone: no network, no widgets, so
// that every kind can be tested and fuzzed as a plain function. A reply that
// cannot be used gives an error text for the log and no value.
template <typename T>
struct Parsed {
    T value{};
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// The update check: {"version_name": ..., "version_code": N, "force": F}.
struct UpdateInfo {
    int versionCode = 0;
    bool force = false; // force is 1: the user must update before going on
    QJsonObject reply;
};
Parsed<UpdateInfo> parseUpdateReply(const QByteArray &body);

// One game or one server: the abbreviation the addresses use, and the name
// the user sees.
struct PortalChoice {
    QString code;
    QString name;
    bool operator==(const PortalChoice &other) const { return code == other.code && name == other.name; }
};

// The server-list API's games: [{"tag": ..., "gamename": ...}]. One entry per
// display name (a later abbreviation wins), sorted by name in UTF-16 code
// units. Numbers count as their decimal text; elements that are not objects,
// and games without a tag, are skipped; a list of only such elements is an
// error.
Parsed<QList<PortalChoice>> parseGameList(const QByteArray &body);
// One game's servers: [{"server": ..., "gamename": <the server's name>}], in
// reply order; servers without an abbreviation are skipped.
Parsed<QList<PortalChoice>> parseServerList(const QByteArray &body);

// The alt-account login API: {"msg": 1, "code": ..., "ckcode": ...}. Valid
// only when msg is the number 1 and a check code came with it (msg 1 without
// one is an error: nothing to store). Any other msg is a refusal, "locked"
// when code is the text "-2".
struct LoginReply {
    bool valid = false;
    bool locked = false;
    QString ckcode;
};
Parsed<LoginReply> parseLoginReply(const QByteArray &body);
