#pragma once
#include <QByteArray>
#include <QJsonObject>
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
