#include "hotkeyedit.h"
#include <QKeyEvent>
#include <QLineEdit>

HotkeyEdit::HotkeyEdit(const QKeySequence &sequence, QWidget *parent)
    : QKeySequenceEdit(parent)
{
    setKeySequence(sequence);
    if (auto *line = findChild<QLineEdit *>())
        line->installEventFilter(this);
}

bool HotkeyEdit::isUsable(const QKeySequence &chord)
{
    if (chord.count() != 1)
        return false;
    const int modifiers = chord[0] & int(Qt::KeyboardModifierMask & ~Qt::KeypadModifier);
    const int key = chord[0] & ~int(Qt::KeyboardModifierMask);
    return modifiers != 0 || (key >= Qt::Key_F1 && key <= Qt::Key_F12);
}

bool HotkeyEdit::event(QEvent *event)
{
    // The base claims every key before shortcuts see it, Esc included.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel))
        return QWidget::event(event);
    return QKeySequenceEdit::event(event);
}

bool HotkeyEdit::eventFilter(QObject *watched, QEvent *event)
{
    // The base puts its own English placeholder back whenever it starts
    // afresh (emptied, set, a chord finished); ours goes in before it shows.
    if (event->type() == QEvent::Paint) {
        const QString placeholder = tr("请按下快捷键");
        auto *line = static_cast<QLineEdit *>(watched);
        if (line->placeholderText() != placeholder)
            line->setPlaceholderText(placeholder);
    }
    return false;
}

void HotkeyEdit::keyPressEvent(QKeyEvent *event)
{
    const QKeySequence before = keySequence();
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
        return;
    default: {
        QKeySequenceEdit::keyPressEvent(event);
        // Only the first chord: the base would wait for up to three more.
        const QString first = keySequence().toString(QKeySequence::PortableText).split(QLatin1Char(',')).first();
        setKeySequence(QKeySequence::fromString(first, QKeySequence::PortableText));
        break;
    }
    }
    emit chordEntered(keySequence(), before);
}
