#pragma once
#include "core/reminderrecord.h"
#include "widgets/framelessdialog.h"

// The notice of a reminder that fell due: at the bottom right of the screen,
// above other windows, until the user answers it. "进入游戏" asks for that
// server's game in a new tab. Freed when closed.
class ReminderNotice : public FramelessDialog
{
    Q_OBJECT

public:
    explicit ReminderNotice(const ReminderRecord &record, QWidget *parent = nullptr);

    // Where a notice of this size goes in the screen's free area: one pixel
    // off its right and bottom edges.
    static QPoint placeIn(const QRect &available, const QSize &size);

signals:
    void enterGameRequested(const QString &title, const QUrl &url);
};
