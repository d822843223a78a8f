#pragma once
#include <QKeySequenceEdit>

// A hotkey editor that holds one chord and reports every key press at once
// (editingFinished): Backspace empties it, a modifier pressed alone leaves
// the chord as it was, and a second chord replaces the first.
class CustomKeySequenceEdit : public QKeySequenceEdit
{
public:
    explicit CustomKeySequenceEdit(const QKeySequence &sequence, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
