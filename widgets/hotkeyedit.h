#pragma once
#include <QKeySequenceEdit>

// A hotkey editor that holds one chord and reports every key press at once
// (editingFinished): Backspace empties it, a modifier pressed alone leaves
// the chord as it was, and a second chord replaces the first.
class HotkeyEdit : public QKeySequenceEdit
{
public:
    explicit HotkeyEdit(const QKeySequence &sequence, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
