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

// The reminders of one main window: the scheduler of its alarms, the add
// dialog and the list it shows, and the notices that are open. The alarms are armed when the window
// opens and again after every change; the notices go with the window.
class Reminders : public QObject
{
    Q_OBJECT

public:
    Reminders(QWidget *mainWindow, PortalApi *api);
    ~Reminders() override;

    ReminderScheduler *scheduler() const { return m_timer; }
    // "闹钟": a fresh list from the file, in place of an open one.
    void showList();
    void rearm();
    // A page asks to be reminded of a server's opening: the add dialog,
    // proposing what the page sent, or the list when three are saved.
    void requestReminder(const QString &game, const QString &server, qint64 time);

signals:
    // "进入游戏" on a notice.
    void enterGameRequested(const QString &title, const QUrl &url);

private:
    void notify(const ReminderRecord &record);

    QWidget *m_window;
    PortalApi *m_api;
    ReminderScheduler *m_timer;
    QPointer<AddReminderDialog> m_addDialog;
    QPointer<ReminderListDialog> m_list;
    QList<QPointer<ReminderNotice>> m_notices; // top-level, closed with the window
};
