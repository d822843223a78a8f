#pragma once
#include "widgets/framelessdialog.h"

class QLabel;
class RecyclingListView;

// The saved reminders, all of them, as cards with a delete button each,
// under the standing hint about the limit. A card deletes the record it
// shows, found by content in the file as it is now, and reads its text
// (time, game, server, remark) to screen readers as its name. Read from the
// file once; records that can never ring are left in the file, unshown. The
// cards are a model's rows, shown by a RecyclingListView: real buttons on
// the cards on screen, whatever the length of the list. A successful
// deletion is reported so that the alarms follow.
class ReminderListDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit ReminderListDialog(QWidget *parent);
    ~ReminderListDialog() override;

signals:
    void recordsChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    class Model;
    class Card;

    QWidget *makeCard(QWidget *parent);
    void deleteReminder(int row);

    Model *m_model = nullptr;
    RecyclingListView *m_view = nullptr;
    QLabel *m_failure = nullptr;
};
