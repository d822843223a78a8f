#include "reminders.h"
#include "core/logging.h"
#include "core/listfiles.h"
#include "reminder/addreminderdialog.h"
#include "reminder/remindernotice.h"
#include "reminder/reminderlistdialog.h"
#include "reminder/reminderscheduler.h"
#include <QDateTime>
#include <QWidget>

Reminders::Reminders(PortalApi *api, QObject *parent)
    : QObject(parent)
    , m_api(api)
    , m_scheduler(new ReminderScheduler(this))
{
    connect(m_scheduler, &ReminderScheduler::rang, this, &Reminders::notify);
}

Reminders::~Reminders()
{
    for (const QPointer<ReminderNotice> &notice : qAsConst(m_notices))
        delete notice.data();
}

void Reminders::rearm()
{
    m_scheduler->start();
}

void Reminders::setHost(QWidget *window)
{
    m_host = window;
}

void Reminders::showList()
{
    if (m_list)
        m_list->close();
    if (!m_host)
        return;
    auto *list = new ReminderListDialog(m_host);
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
    if (!m_host)
        return;
    const int upcoming = upcomingReminders(readReminderRecords(), QDateTime::currentSecsSinceEpoch());
    qCInfo(lcReminder) << "文件取出数据：" << upcoming << "reminders to come";
    if (upcoming >= kReminderLimit) {
        showList();
        return;
    }
    auto *dialog = new AddReminderDialog(game, server, time, m_api, m_host);
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
    // Rung once, it leaves the list and frees its place under the limit.
    if (removeRecord(ListFile::Reminders, record.stored) == Removal::Failed)
        qCWarning(lcReminder) << "a reminder that rang stays in clocklist.txt; it will not ring again in this run";
}
