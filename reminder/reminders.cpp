#include "reminders.h"
#include "core/logging.h"
#include "core/listfiles.h"
#include "reminder/addreminderdialog.h"
#include "reminder/remindernotice.h"
#include "reminder/reminderlistdialog.h"
#include "reminder/reminderscheduler.h"
#include <QWidget>

Reminders::Reminders(QWidget *mainWindow, PortalApi *api)
    : QObject(mainWindow)
    , m_window(mainWindow)
    , m_api(api)
    , m_timer(new ReminderScheduler(this))
{
    connect(m_timer, &ReminderScheduler::rang, this, &Reminders::notify);
    m_timer->start();
}

Reminders::~Reminders()
{
    for (const QPointer<ReminderNotice> &notice : qAsConst(m_notices)) {
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
    auto *list = new ReminderListDialog(m_window);
    list->setAttribute(Qt::WA_DeleteOnClose);
    connect(list, &ReminderListDialog::recordsChanged, this, &Reminders::rearm);
    list->showCentred();
    m_list = list;
}

void Reminders::requestReminder(const QString &game, const QString &server, qint64 time)
{
    if (m_addDialog)
        m_addDialog->close();
    if (m_list)
        m_list->close();
    const int saved = readReminderRecords().size();
    qCInfo(lcReminder) << "文件取出数据：" << saved << "reminders";
    if (saved >= kReminderLimit) {
        showList();
        return;
    }
    auto *dialog = new AddReminderDialog(game, server, time, m_api, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AddReminderDialog::saved, this, [this] {
        rearm();
        showList();
    });
    dialog->showCentred();
    m_addDialog = dialog;
}

void Reminders::notify(const ReminderRecord &record)
{
    auto *notice = new ReminderNotice(record);
    connect(notice, &ReminderNotice::enterGameRequested, this, &Reminders::enterGameRequested);
    m_notices.removeAll(nullptr);
    m_notices.append(notice);
    notice->show(); // the newest on top
    notice->raise();
}
