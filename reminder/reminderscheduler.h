#pragma once
#include "core/reminderrecord.h"
#include <QMap>
#include <QObject>
#include <functional>

class QMediaPlayer;

// Turns the first three reminders of clocklist.txt into alarms: one precise
// timer per reminder still ahead, to the millisecond. When one falls due it
// stops any earlier alarm sound, plays the alarm if the reminder asks for it,
// and reports the reminder; each armed reminder rings once. start() arms it
// again from the file, after every change: a reminder deleted meanwhile never
// rings, one already due rings before the re-arm.
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
        qint64 intervalMs = 0;
    };

    explicit ReminderScheduler(QObject *parent = nullptr);

    void start();
    QList<Armed> armed() const { return m_armed.values(); }
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
    void arm(const ReminderRecord &record, qint64 dueMs);
    void ring(const ReminderRecord &record, int timerId);

    QMediaPlayer *m_player = nullptr;
    QMap<int, Armed> m_armed; // by timer id
    std::function<qint64()> m_now;
};
