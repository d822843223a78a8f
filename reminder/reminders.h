#pragma once
#include "core/reminderrecord.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class AddReminderDialog;
class ReminderNotice;
class ReminderScheduler;
class PortalApi;
class QWidget;
class ReminderListDialog;

// The reminders of the run: the scheduler of the alarms, the notices of the
// reminders that rang, and the add dialog and the list, drawn inside the
// main window that hosts them. The alarms ring whether or not a main window
// is open (before the login too); a reminder that rang is taken off the list.
class Reminders : public QObject
{
    Q_OBJECT

public:
    Reminders(PortalApi *api, QObject *parent);
    ~Reminders() override;

    ReminderScheduler *scheduler() const { return m_scheduler; }
    // Arms the alarms from the list; again after every change.
    void rearm();
    // The window the dialogs are drawn in; they go with it.
    void setHost(QWidget *window);
    // "闹钟": a fresh list from the file, in place of an open one.
    void showList();
    // A page asks to be reminded of a server's opening: the add dialog,
    // proposing what the page sent, or the list when the limit is reached.
    void requestReminder(const QString &game, const QString &server, qint64 time);

signals:
    // "进入游戏" on a notice.
    void enterGameRequested(const QString &title, const QUrl &url);

private:
    void notify(const ReminderRecord &record);

    PortalApi *m_api;
    ReminderScheduler *m_scheduler;
    QPointer<QWidget> m_host;
    QPointer<AddReminderDialog> m_addDialog;
    QPointer<ReminderListDialog> m_list;
    QList<QPointer<ReminderNotice>> m_notices; // windows of their own, closed with the run
};
