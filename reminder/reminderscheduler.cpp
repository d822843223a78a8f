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
    const qint64 now = m_now();
    // A reminder that fell due while its timer event waited rings now, before
    // its timer goes.
    const QMap<int, Armed> previous = m_armed;
    m_armed.clear();
    for (auto it = previous.begin(); it != previous.end(); ++it) {
        killTimer(it.key());
        if (it->dueMs <= now)
            ring(it->record, it.key());
    }

    const QJsonArray records = readReminderRecords();
    for (int i = 0; i < records.size() && i < kReminderLimit; ++i) {
        const ReminderRecord record = ReminderRecord::fromJson(records.at(i));
        if (record.hasTime && record.time * 1000 > now)
            arm(record, record.time * 1000);
    }
    qCDebug(lcReminder) << m_armed.size() << "reminders armed";
}

void ReminderScheduler::arm(const ReminderRecord &record, qint64 dueMs)
{
    preparePlayer();
    const qint64 interval = qMin(dueMs - m_now(), kLongestWaitMs);
    const int id = startTimer(int(qMax<qint64>(interval, 0)), Qt::PreciseTimer);
    m_armed.insert(id, {record, dueMs, interval});
}

void ReminderScheduler::timerEvent(QTimerEvent *event)
{
    const int id = event->timerId();
    killTimer(id);
    if (!m_armed.contains(id))
        return;
    const Armed armed = m_armed.take(id);
    if (armed.dueMs > m_now()) {
        arm(armed.record, armed.dueMs); // a long wait, one step further
        return;
    }
    ring(armed.record, id);
}

void ReminderScheduler::ring(const ReminderRecord &record, int timerId)
{
    m_player->stop();
    qCDebug(lcReminder) << "naozhongxiangle:" << timerId;
    if (record.musicReminds == 1)
        m_player->play();
    emit rang(record);
}
