#pragma once
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// What a page sends through its bridge, read and logged without the web
// engine: every bridge owner and the fuzz targets share these.

constexpr int kLoggedLength = 2000;

// One message, its json text parsed once: the owner decides from it and
// logs it from it.
struct BridgeMessage {
    int code = 0;
    QString str;            // only ever logged
    QString json;           // as the page sent it: JSON, a bare address, or nothing
    QJsonDocument document; // json parsed, when it was JSON

    static BridgeMessage parse(int code, const QString &str, const QString &json);
    // The parameters, when json was one JSON object; else *ok is false.
    QJsonObject parameters(bool *ok) const;
    // str and json as a log line may show them (see bridgeJsonForLog).
    QString forLog() const;
};

// Text from a page or a reply as it may appear in a log: values of secret
// keys (passwords, check codes, tokens, sessions, cookies), at any depth,
// become "***". JSON is logged compact; other text is masked in its
// "key": value and key=value forms. Text past kLoggedLength characters is
// cut off, with its length noted: a page may send megabytes.
QString bridgeJsonForLog(const QString &text);
