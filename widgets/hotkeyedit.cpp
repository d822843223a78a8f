#include "hotkeyedit.h"
#include <QKeyEvent>

HotkeyEdit::HotkeyEdit(const QKeySequence &sequence, QWidget *parent)
    : QKeySequenceEdit(parent)
{
    setKeySequence(sequence);
}

void HotkeyEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        clear();
        break;
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        // The base would start a new sequence and empty this one; a modifier
        // alone is no hotkey.
        event->accept();
        break;
    default: {
        QKeySequenceEdit::keyPressEvent(event);
        // Only the first chord: the base would wait for up to three more.
        const QString first = keySequence().toString(QKeySequence::PortableText).split(QLatin1Char(',')).first();
        setKeySequence(QKeySequence::fromString(first, QKeySequence::PortableText));
        break;
    }
    }
    emit editingFinished();
}
