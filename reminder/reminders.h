#pragma once
#include "reminder/clockrecord.h"
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

class ClockNotifyDialog;
class MyTimer;
class QWidget;
class clockTableDialog;

// The reminders of one main window: the scheduler of its alarms, the list it
// shows and the notices that are open. The alarms are armed when the window
// opens and again after every change; the notices go with the window.
class Reminders : public QObject
{
    Q_OBJECT

public:
    explicit Reminders(QWidget *mainWindow);
    ~Reminders() override;

    MyTimer *scheduler() const { return m_timer; }
    // "闹钟": a fresh list from the file, in place of an open one.
    void showList();
    void rearm();

signals:
    // "进入游戏" on a notice.
    void enterGameRequested(const QString &title, const QUrl &url);

private:
    void notify(const ClockRecord &record);

    QWidget *m_window;
    MyTimer *m_timer;
    QPointer<clockTableDialog> m_list;
    QList<QPointer<ClockNotifyDialog>> m_notices; // top-level, closed with the window
};
