#include "remindernotice.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include <QDateTime>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

ReminderNotice::ReminderNotice(const ReminderRecord &record, QWidget *parent)
    : FramelessDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // On top, and shown even while the box is minimised or hidden.
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    resize(300, 300);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        qCDebug(lcReminder) << "任务栏高度" << screen->availableGeometry().height();
        move(placeIn(screen->availableGeometry(), size()));
    }

    auto *content = new QWidget;
    auto *icon = new QLabel(content);
    icon->setPixmap(QPixmap(QStringLiteral("://img/clock_notify")));
    QFont font;
    font.setPointSize(10);
    auto *game = new QLabel(record.gamename, content);
    auto *server = new QLabel(record.servername, content);
    for (QLabel *label : {game, server}) {
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
    }
    // Its own time: one that passed while the box was not running rings late.
    auto *when = new QLabel(QDateTime::fromSecsSinceEpoch(record.time).toString(QStringLiteral("yyyy/MM/dd HH:mm")), content);
    when->setObjectName(QStringLiteral("reminderTime"));
    auto *remark = new QLabel(tr("备注：") + record.remark, content);
    remark->setTextFormat(Qt::PlainText);
    remark->setStyleSheet(QStringLiteral("color:gray"));
    remark->setWordWrap(true);

    auto *dismiss = new QPushButton(tr("我知道了"), content);
    dismiss->setStyleSheet(QStringLiteral("background:grey;color:white;border-radius:5px;height:30px"));
    auto *enter = new QPushButton(tr("进入游戏"), content);
    enter->setStyleSheet(QStringLiteral("background:#409eff;color:white;border-radius:5px;height:30px"));
    connect(dismiss, &QPushButton::clicked, this, &QWidget::close);
    const QString title = record.title();
    const QUrl url = Endpoints::url(Endpoints::Address::EnterGame, {record.tag, record.server});
    connect(enter, &QPushButton::clicked, this, [this, title, url] {
        emit enterGameRequested(title, url);
        close();
    });

    auto *heading = new QHBoxLayout;
    heading->addWidget(icon);
    heading->addWidget(game);
    heading->addWidget(server);
    heading->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(dismiss);
    buttons->addWidget(enter);
    auto *layout = new QVBoxLayout(content);
    layout->setSpacing(30);
    layout->addStretch();
    layout->addLayout(heading);
    layout->addWidget(when);
    layout->addWidget(remark);
    layout->addLayout(buttons);
    layout->addStretch();
    setupFrame(tr("闹钟通知"), content);
}

QPoint ReminderNotice::placeIn(const QRect &available, const QSize &size)
{
    // From the free area's own origin: a task bar at the top or the left
    // moves it.
    return QPoint(available.x() + available.width() - size.width() - 1,
                  available.y() + available.height() - size.height() - 1);
}
