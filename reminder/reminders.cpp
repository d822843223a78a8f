#include "reminders.h"
#include "reminder/clocknotifydialog.h"
#include "reminder/clocktabledialog.h"
#include "reminder/mytimer.h"
#include <QWidget>

Reminders::Reminders(QWidget *mainWindow)
    : QObject(mainWindow)
    , m_window(mainWindow)
    , m_timer(new MyTimer(this))
{
    connect(m_timer, &MyTimer::rang, this, &Reminders::notify);
    m_timer->start();
}

Reminders::~Reminders()
{
    for (const QPointer<ClockNotifyDialog> &notice : qAsConst(m_notices)) {
        if (notice)
            notice->close();
    }
}

void Reminders::rearm()
{
    m_timer->start();
}

void Reminders::showList()
{
    if (m_list)
        m_list->close();
    auto *list = new clockTableDialog(m_window);
    list->setAttribute(Qt::WA_DeleteOnClose);
    connect(list, &clockTableDialog::recordsChanged, this, &Reminders::rearm);
    list->move(m_window->width() / 2 - 215, m_window->height() / 2 - 160);
    list->show();
    list->raise();
    m_list = list;
}

void Reminders::notify(const ClockRecord &record)
{
    auto *notice = new ClockNotifyDialog(record);
    connect(notice, &ClockNotifyDialog::enterGameRequested, this, &Reminders::enterGameRequested);
    m_notices.removeAll(nullptr);
    m_notices.append(notice);
    notice->show(); // the newest on top
    notice->raise();
}
