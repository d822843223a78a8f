#pragma once
#include <QMap>
#include <QString>

// Total size in bytes of the regular files below path (hidden files are not
// counted; links to folders are not followed, so a link loop cannot recurse).
qint64 dirSize(const QString &path);

// The key=value pairs of the text between the first and a second "?", where
// keys and values are runs of word characters of any script: a value stops at
// the first other character and an empty value is skipped.
QMap<QString, QString> parseUrlQuery(const QString &url);
