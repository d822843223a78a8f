#pragma once
#include "core/reminderrecord.h"
#include "widgets/framelessdialog.h"
#include <QList>

class QLabel;
class QListWidget;
class QToolButton;

// The saved reminders as cards, each with a delete button, under the
// standing hint about the limit of three. A card deletes the record it shows,
// found by content in the file as it is now. Built from the file once; a
// successful deletion is reported so that the alarms follow.
class ReminderListDialog : public FramelessDialog
{
    Q_OBJECT

public:
    // Only three reminders ever ring; a file holding thousands (edited by
    // hand, or broken) would take minutes to turn into cards.
    static constexpr int kShown = 50;

    explicit ReminderListDialog(QWidget *parent);

signals:
    void recordsChanged();

private:
    void deleteReminder();
    QWidget *card(const ReminderRecord &record, int index);

    QListWidget *m_list = nullptr;
    QLabel *m_failure = nullptr;
    QList<ReminderRecord> m_records; // by card, in the list's order
    QList<QToolButton *> m_deleteButtons;
};
