#include "reminders.h"
#include "app/logging.h"
#include "core/listfiles.h"
#include "reminder/clockdialog.h"
#include "reminder/clocknotifydialog.h"
#include "reminder/clocktabledialog.h"
#include "reminder/mytimer.h"
#include <QWidget>

Reminders::Reminders(QWidget *mainWindow, PortalApi *api)
    : QObject(mainWindow)
    , m_window(mainWindow)
    , m_api(api)
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
    placeAndShow(list);
    m_list = list;
}

void Reminders::requestReminder(const QString &game, const QString &server, qint64 time)
{
    if (m_addDialog)
        m_addDialog->close();
    if (m_list)
        m_list->close();
    const int saved = readClockRecords().size();
    qCInfo(lcReminder) << "文件取出数据：" << saved << "reminders";
    if (saved >= ClockDialog::kLimit) {
        showList();
        return;
    }
    auto *dialog = new ClockDialog(game, server, time, m_api, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &ClockDialog::saved, this, [this] {
        rearm();
        showList();
    });
    placeAndShow(dialog);
    m_addDialog = dialog;
}

void Reminders::placeAndShow(QWidget *dialog)
{
    dialog->move(m_window->width() / 2 - 215, m_window->height() / 2 - 160);
    dialog->show();
    dialog->raise();
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
