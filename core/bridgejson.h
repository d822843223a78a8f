#pragma once
#include <QJsonObject>
#include <QString>

// What a page sends through its bridge, read and logged without the web
// engine: every bridge owner and the fuzz targets share these.

// A message's parameters: the json text parsed as one JSON object. *ok is
// false for anything else (invalid JSON, an array, a bare address, nothing).
QJsonObject bridgeParameters(const QString &json, bool *ok);

// The json text as it may appear in a log: values of secret keys (passwords,
// check codes, tokens, sessions, cookies), at any depth, become "***".
// JSON is logged compact; other text is masked in its "key": value and
// key=value forms. Text past kLoggedLength characters is cut off, with its
// length noted: a page may send megabytes.
QString bridgeJsonForLog(const QString &json);

constexpr int kLoggedLength = 2000;
