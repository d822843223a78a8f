#pragma once
#include <QKeySequenceEdit>

// A hotkey editor that holds one chord and reports every key press at once
// (chordEntered): Backspace empties it, a modifier pressed alone leaves the
// chord as it was, a second chord replaces the first, and Esc is left to the
// dialog (it closes it). What to keep is the owner's: it puts the previous
// chord back on a refusal.
class HotkeyEdit : public QKeySequenceEdit
{
    Q_OBJECT

public:
    explicit HotkeyEdit(const QKeySequence &sequence, QWidget *parent = nullptr);

    // Whether a chord can be a hotkey without taking a key from the page the
    // user is typing or playing in: with Ctrl, Alt, Shift or Meta, or one of
    // F1 to F12 alone.
    static bool isUsable(const QKeySequence &chord);

signals:
    // The chord now shown, empty after Backspace, and the one shown before.
    void chordEntered(const QKeySequence &chord, const QKeySequence &before);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
