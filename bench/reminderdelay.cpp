// How long after its due second a reminder's notice is on screen and its
// alarm is playing (the player started) and heard (its position moving):
// reminders two seconds ahead, one run after another.
//   kavo-bench-reminder [runs]
#include "app/datadir.h"
#include "app/resources.h"
#include "core/listfiles.h"
#include "reminder/clocknotifydialog.h"
#include "reminder/mytimer.h"
#include "reminder/reminders.h"
#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QMediaPlayer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>

namespace {
// Reports when a window is first on screen.
class ExposeWatch : public QObject
{
public:
    qint64 exposedAt = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !exposedAt && static_cast<QWindow *>(watched)->isExposed())
            exposedAt = QDateTime::currentMSecsSinceEpoch();
        return false;
    }
};

qint64 median(QVector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    initResources();
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 5;
    QTemporaryDir data;
    setDataDirOverride(data.path());

    QWidget host;
    host.resize(800, 600);
    host.show();
    Reminders reminders(&host);
    QVector<qint64> shown, playing, heard;
    for (int run = 1; run <= runs; ++run) {
        const qint64 due = QDateTime::currentSecsSinceEpoch() + 2;
        writeClockRecords({QJsonObject{{QStringLiteral("gamename"), QStringLiteral("bench")},
                                       {QStringLiteral("musicReminds"), 1},
                                       {QStringLiteral("server"), QStringLiteral("s1")},
                                       {QStringLiteral("tag"), QStringLiteral("xyj")},
                                       {QStringLiteral("time"), due}}});
        reminders.rearm();
        ExposeWatch watch;
        qint64 playingAt = 0, heardAt = 0;
        QMediaPlayer *player = reminders.scheduler()->player();
        QObject::connect(reminders.scheduler(), &MyTimer::rang, &watch, [&watch] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (qobject_cast<ClockNotifyDialog *>(window) && window->windowHandle())
                    window->windowHandle()->installEventFilter(&watch);
            }
        });
        QObject::connect(player, &QMediaPlayer::stateChanged, &watch, [&playingAt](QMediaPlayer::State state) {
            if (state == QMediaPlayer::PlayingState && !playingAt)
                playingAt = QDateTime::currentMSecsSinceEpoch();
        });
        player->setNotifyInterval(10);
        QObject::connect(player, &QMediaPlayer::positionChanged, &watch, [&heardAt, &playingAt](qint64 position) {
            if (playingAt && position > 0 && !heardAt)
                heardAt = QDateTime::currentMSecsSinceEpoch();
        });
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (watch.exposedAt && heardAt)
                loop.quit();
        });
        poll.start(5);
        loop.exec();
        const qint64 dueMs = due * 1000;
        std::printf("run %d: notice on screen %+lld ms, alarm playing %+lld ms, heard %+lld ms after the due second\n", run,
                    watch.exposedAt ? watch.exposedAt - dueMs : -1, playingAt ? playingAt - dueMs : -1,
                    heardAt ? heardAt - dueMs : -1);
        shown << watch.exposedAt - dueMs;
        playing << playingAt - dueMs;
        heard << heardAt - dueMs;
        player->stop();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (qobject_cast<ClockNotifyDialog *>(window))
                window->close();
        }
    }
    std::printf("median: notice %lld ms, alarm playing %lld ms, heard %lld ms after the due second\n", median(shown),
                median(playing), median(heard));
    return 0;
}
