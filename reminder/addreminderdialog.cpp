#include "addreminderdialog.h"
#include "core/logging.h"
#include "web/gameserverchooser.h"
#include "core/listfiles.h"
#include "core/reminderrecord.h"
#include "widgets/primarybutton.h"
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
// What the file's time holds: signed 32-bit Unix seconds.
constexpr qint64 kFirst = 0;
constexpr qint64 kLast = 2147483647;

QDateTime nextWholeHour()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QDateTime(now.date(), QTime(now.time().hour(), 0)).addSecs(3600);
}

QHBoxLayout *row(const QString &label, const QList<QWidget *> &fields, QWidget *parent)
{
    auto *layout = new QHBoxLayout;
    layout->addSpacing(50);
    auto *title = new QLabel(label, parent);
    layout->addWidget(title);
    if (!fields.isEmpty())
        title->setBuddy(fields.first());
    for (QWidget *field : fields) {
        layout->addSpacing(10);
        layout->addWidget(field);
    }
    layout->addSpacing(50);
    return layout;
}
} // namespace

AddReminderDialog::AddReminderDialog(const QString &game, const QString &server, qint64 time, PortalApi *api, QWidget *host)
    : FramelessDialog(host)
{
    setFixedSize(430, 320);
    auto *content = new QWidget;

    m_chooser = new GameServerChooser(api, content);
    m_chooser->propose(game, server);
    const QDateTime first = QDateTime::fromSecsSinceEpoch(kFirst);
    const QDateTime last = QDateTime::fromSecsSinceEpoch(kLast);
    const QDateTime proposed = time > 0 ? QDateTime::fromSecsSinceEpoch(qMin(time, kLast)) : nextWholeHour();
    m_date = new QDateEdit(proposed.date(), content);
    m_date->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    m_date->setDateRange(first.date(), last.date());
    m_time = new QTimeEdit(proposed.time(), content);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    for (QWidget *editor : {static_cast<QWidget *>(m_date), static_cast<QWidget *>(m_time)})
        editor->setStyleSheet(QStringLiteral("min-width: 100px;min-height: 30px"));
    m_remark = new QLineEdit(content);
    m_remark->setPlaceholderText(tr("请输入信息(选填)"));
    m_remark->setStyleSheet(QStringLiteral("min-width: 200px;border:1px solid gray;border-radius:3px;padding:3px 0px"));
    m_sound = new QCheckBox(tr("声音提醒"), content);
    m_confirm = new PrimaryButton(content);
    m_confirm->setText(tr("确定"));
    m_confirm->setFixedSize(100, 30);
    connect(m_confirm, &QPushButton::clicked, this, &AddReminderDialog::confirm);
    m_error = new QLabel(content);
    m_error->setStyleSheet(QStringLiteral("color:red"));
    m_error->hide();
    connect(m_chooser, &GameServerChooser::changed, this, &AddReminderDialog::followChooser);
    followChooser();

    auto *layout = new QVBoxLayout(content);
    layout->addLayout(centredRow(m_error));
    layout->addLayout(row(tr("游戏区服"), {m_chooser}, content));
    layout->addLayout(row(tr("提醒时间"), {m_date, m_time}, content));
    layout->addLayout(row(tr("备注说明"), {m_remark}, content));
    layout->addLayout(centredRow(m_sound));
    layout->addLayout(centredRow(m_confirm));
    setupFrame(tr("闹钟提醒"), content);
}

void AddReminderDialog::followChooser()
{
    m_confirm->setEnabled(m_chooser->hasChoice());
    // The lists' problem, or nothing, replaces what the line said.
    if (!m_chooser->problem().isEmpty())
        fail(m_chooser->problem());
    else
        m_error->hide();
}

void AddReminderDialog::confirm()
{
    // Without a game and a server a reminder could only open a useless page.
    if (!m_chooser->hasChoice())
        return;
    // Past either end of the range on its first or last day, the time is the end.
    const qint64 time = qBound(kFirst, QDateTime(m_date->date(), m_time->time()).toSecsSinceEpoch(), kLast);
    if (time <= QDateTime::currentSecsSinceEpoch()) {
        fail(tr("提醒时间已过"));
        return;
    }
    const int music = m_sound->isChecked() ? 1 : 0;
    const PortalChoice game = m_chooser->currentGame();
    const PortalChoice server = m_chooser->currentServer();
    qCDebug(lcReminder).noquote() << "游戏缩写：" << game.code << "区服缩写：" << server.code;
    qCDebug(lcReminder) << "时间戳-3" << time << "备注" << m_remark->text() << "音乐提醒" << music;

    QJsonArray records = readReminderRecords();
    qCInfo(lcReminder) << "文件取出数据：" << records.size() << "reminders";
    for (const QJsonValue &stored : qAsConst(records)) {
        const ReminderRecord record = ReminderRecord::fromJson(stored);
        if (record.hasTime && record.time == time && record.tag == game.code && record.server == server.code) {
            fail(tr("该提醒已存在"));
            return;
        }
    }
    if (upcomingReminders(records, QDateTime::currentSecsSinceEpoch()) >= kReminderLimit) {
        qCDebug(lcReminder) << "大于3";
        fail(tr("最多只能有%1个闹钟提醒").arg(kReminderLimit));
        return;
    }
    records.append(QJsonObject{{QStringLiteral("gamename"), game.name},
                               {QStringLiteral("musicReminds"), music},
                               {QStringLiteral("remark"), m_remark->text()},
                               {QStringLiteral("server"), server.code},
                               {QStringLiteral("servername"), server.name},
                               {QStringLiteral("tag"), game.code},
                               {QStringLiteral("time"), time}});
    if (!writeReminderRecords(records)) {
        fail(tr("保存失败，请稍后重试"));
        return;
    }
    m_sound->setChecked(false);
    emit saved();
    close();
}

void AddReminderDialog::fail(const QString &why)
{
    m_error->setText(why);
    m_error->show();
}
