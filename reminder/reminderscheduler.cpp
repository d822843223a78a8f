#include "reminderscheduler.h"
#include "core/logging.h"
#include "core/listfiles.h"
#include <QDateTime>
#include <QJsonArray>
#include <QMediaPlayer>
#include <QTimerEvent>

ReminderScheduler::ReminderScheduler(QObject *parent)
    : QObject(parent)
    , m_now([] { return QDateTime::currentMSecsSinceEpoch(); })
{
}

void ReminderScheduler::preparePlayer()
{
    // Made with the first reminder armed, not with the main window: the
    // media framework takes a while to start, and most runs never need it;
    // once a reminder waits, the player is ready before it is due.
    if (m_player)
        return;
    m_player = new QMediaPlayer(this);
    m_player->setMedia(QUrl(QStringLiteral("qrc:/img/music")));
    connect(m_player, qOverload<QMediaPlayer::Error>(&QMediaPlayer::error), this, [this](QMediaPlayer::Error) {
        qCWarning(lcReminder).noquote() << "the alarm cannot play:" << m_player->errorString();
    });
}

void ReminderScheduler::start()
{
    m_armed.clear();
    // Every reminder still to come is armed; one whose moment passed (while
    // the box was not running, or while its timer event waited) rings now.
    // A reminder deleted meanwhile is no longer in the file and never rings.
    const qint64 now = m_now();
    const QJsonArray records = readReminderRecords();
    QList<ReminderRecord> due;
    for (const QJsonValue &value : records) {
        const ReminderRecord record = ReminderRecord::fromJson(value);
        if (!record.isUsable() || m_rung.contains(record.stored))
            continue;
        if (record.time * 1000 > now)
            m_armed.append({record, record.time * 1000, 0});
        else
            due.append(record);
    }
    std::stable_sort(m_armed.begin(), m_armed.end(), [](const Armed &a, const Armed &b) { return a.dueMs < b.dueMs; });
    armNearest();
    qCDebug(lcReminder) << m_armed.size() << "reminders armed";
    // No more notices at once than reminders can be kept: a file edited by
    // hand may hold thousands of old ones, which stay where they are.
    if (due.size() > kReminderLimit) {
        qCInfo(lcReminder) << due.size() - kReminderLimit << "older reminders that passed are not rung";
        due = due.mid(due.size() - kReminderLimit);
    }
    for (const ReminderRecord &record : qAsConst(due))
        ring(record);
}

void ReminderScheduler::armNearest()
{
    if (m_timerId)
        killTimer(std::exchange(m_timerId, 0));
    if (m_armed.isEmpty())
        return;
    preparePlayer();
    Armed &nearest = m_armed.first();
    nearest.intervalMs = qMin(nearest.dueMs - m_now(), kLongestWaitMs);
    m_timerId = startTimer(int(qMax<qint64>(nearest.intervalMs, 0)), Qt::PreciseTimer);
}

void ReminderScheduler::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId)
        return;
    killTimer(std::exchange(m_timerId, 0));
    // A long wait goes one step further; what is due rings.
    const qint64 now = m_now();
    QList<ReminderRecord> due;
    while (!m_armed.isEmpty() && m_armed.first().dueMs <= now)
        due.append(m_armed.takeFirst().record);
    armNearest();
    for (const ReminderRecord &record : qAsConst(due))
        ring(record);
}

void ReminderScheduler::ring(const ReminderRecord &record)
{
    preparePlayer();
    // Once a run, even where its record cannot be taken off the file.
    m_rung.append(record.stored);
    m_player->stop();
    qCDebug(lcReminder).noquote() << "naozhongxiangle:" << record.server;
    if (record.musicReminds == 1)
        m_player->play();
    emit rang(record);
}
