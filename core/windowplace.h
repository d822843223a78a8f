#pragma once
#include <QList>
#include <QRect>
#include <QString>

// A window's place as Config.ini keeps it: "x,y,width,height".
QString windowPlaceText(const QRect &place);
// The place the text holds, when it is whole and the window's top, where it
// is dragged from, would lie well on one of the screens (their free areas);
// else a null rectangle and *why says what was wrong.
QRect readWindowPlace(const QString &text, const QList<QRect> &screens, QString *why);
