#pragma once
#include "core/reminderrecord.h"
#include <QJsonValue>
#include <QList>
#include <QObject>
#include <functional>

class QMediaPlayer;

// Turns the reminders of clocklist.txt into alarms, to the millisecond. When
// one falls due it stops any earlier alarm sound, plays the alarm if the
// reminder asks for it, and reports the reminder; a reminder rings once in a
// run. start() arms them again from the file, after every change: a reminder
// deleted meanwhile never rings, one already due (passed while the box was
// not running, or while its timer waited) rings at once. One precise timer
// waits for the nearest: a hand-made file of thousands costs no more.
class ReminderScheduler : public QObject
{
    Q_OBJECT

public:
    // Longer waits are armed in steps and re-armed from the clock: a timer's
    // interval is a signed 32-bit count of milliseconds.
    static constexpr qint64 kLongestWaitMs = 24LL * 3600 * 1000;

    struct Armed {
        ReminderRecord record;
        qint64 dueMs = 0;
        qint64 intervalMs = 0; // of the timer now waiting, for the nearest
    };

    explicit ReminderScheduler(QObject *parent = nullptr);

    void start();
    // Every reminder still to come, the nearest first.
    QList<Armed> armed() const { return m_armed; }
    // Null until a reminder was armed.
    QMediaPlayer *player() const { return m_player; }
    // The clock in Unix milliseconds; tests put their own in.
    void setClock(std::function<qint64()> nowMs) { m_now = std::move(nowMs); }

signals:
    void rang(const ReminderRecord &record);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void preparePlayer();
    void armNearest();
    void ring(const ReminderRecord &record);

    QMediaPlayer *m_player = nullptr;
    QList<Armed> m_armed; // by due time
    int m_timerId = 0;
    QList<QJsonValue> m_rung; // the records that rang in this run, as stored
    std::function<qint64()> m_now;
};
