#pragma once
#include <QByteArray>
#include <QJsonDocument>
#include <QString>

// QJsonDocument::fromJson for text from outside (pages, replies, list
// files). *error is empty when the text parsed, else says why and where.
//
// A document in which one object names a key twice is refused before Qt
// parses it: Qt 5.15's parser leaks the value the second one replaces, so a
// page repeating {"a": [<megabytes>], "a": 0} would eat memory message by
// message. Nothing the client or the portal writes repeats a key.
QJsonDocument parseJsonText(const QByteArray &text, QString *error);
