#pragma once
#include <QSharedPointer>
#include <QString>

class QMessageBox;

// What a modal message box showed, once one has been answered.
struct SeenMessageBox {
    bool seen = false;
    QString text;
    QString title;
    bool hasParent = false;
    bool hasOwnIcon = false;
};

// Answers the next modal message box that opens, from the event loop the
// box runs: presses the button with this text ("Yes", "No", "同意", "OK"),
// or closes the box by its window's close button when the text is empty.
QSharedPointer<SeenMessageBox> answerNextMessageBox(const QString &button);
