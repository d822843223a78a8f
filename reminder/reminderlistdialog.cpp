#include "reminderlistdialog.h"
#include "core/logging.h"
#include "core/listfiles.h"
#include <QDateTime>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

ReminderListDialog::ReminderListDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setFixedSize(430, 320);

    m_list = new QListWidget;
    m_list->setSpacing(5);
    const QJsonArray records = readReminderRecords();
    const int shown = qMin<int>(records.size(), kShown);
    if (shown < records.size())
        qCWarning(lcReminder).noquote() << "clocklist.txt holds" << records.size()
                                        << "reminders; the list shows the first" << shown;
    for (int i = 0; i < shown; ++i) {
        const ReminderRecord record = ReminderRecord::fromJson(records.at(i));
        qCDebug(lcReminder) << "ii等于=:" << i;
        m_records.append(record);
        auto *item = new QListWidgetItem(m_list);
        item->setSizeHint(QSize(0, 70));
        m_list->setItemWidget(item, card(record, i));
    }

    auto *content = new QWidget;
    auto *hint = new QLabel(tr("最多只能有%1个闹钟提醒(点击开服列表添加闹钟)").arg(kReminderLimit), content);
    hint->setStyleSheet(QStringLiteral("color:red"));
    m_failure = new QLabel(tr("删除失败，请稍后重试"), content);
    m_failure->setStyleSheet(QStringLiteral("color:red"));
    m_failure->hide();
    auto *layout = new QVBoxLayout(content);
    layout->addWidget(hint);
    layout->addWidget(m_failure);
    layout->addWidget(m_list);
    setupFrame(tr("闹钟提醒"), content);
}

QWidget *ReminderListDialog::card(const ReminderRecord &record, int index)
{
    auto *card = new QWidget;
    card->setObjectName(QStringLiteral("w1"));
    card->setStyleSheet(QStringLiteral("#w1{border:1px solid grey;border-radius:5px}"));
    auto *icon = new QLabel(card);
    icon->setPixmap(QPixmap(QStringLiteral("://img/clock")));
    const QString when = record.hasTime
        ? QLocale::system().toString(QDateTime::fromSecsSinceEpoch(record.time), QLocale::ShortFormat)
        : QString();
    auto *time = new QLabel(when, card);
    auto *title = new QLabel(record.gamename + QStringLiteral("【") + record.server + QStringLiteral("】"), card);
    auto *remark = new QLabel(tr("备注：") + record.remark, card);
    remark->setStyleSheet(QStringLiteral("color:grey"));
    for (QLabel *label : {title, remark})
        label->setTextFormat(Qt::PlainText); // the portal's and the user's text, never markup

    auto *remove = new QToolButton(card);
    remove->setIcon(QIcon(QStringLiteral("://img/delete")));
    remove->setAccessibleName(tr("删除"));
    remove->setToolTip(tr("删除"));
    remove->setProperty("tag", index);
    connect(remove, &QToolButton::clicked, this, &ReminderListDialog::deleteReminder);
    m_deleteButtons.append(remove);

    auto *heading = new QHBoxLayout;
    heading->addWidget(time);
    heading->addSpacing(15);
    heading->addWidget(title);
    heading->addStretch();
    auto *texts = new QVBoxLayout;
    texts->addLayout(heading);
    texts->addWidget(remark);
    auto *layout = new QHBoxLayout(card);
    layout->addSpacing(20);
    layout->addWidget(icon);
    layout->addSpacing(20);
    layout->addLayout(texts);
    layout->addStretch();
    layout->addWidget(remove);
    layout->addSpacing(20);
    return card;
}

void ReminderListDialog::deleteReminder()
{
    const int row = m_deleteButtons.indexOf(qobject_cast<QToolButton *>(sender()));
    if (row < 0)
        return;
    switch (removeRecord(ListFile::Reminders, m_records.at(row).stored)) {
    case Removal::Failed:
        m_failure->show();
        return;
    case Removal::Removed:
        emit recordsChanged();
        break;
    case Removal::AlreadyGone:
        qCInfo(lcReminder) << "the reminder of this card was deleted already";
        break;
    }
    m_failure->hide();
    delete m_list->takeItem(row);
    m_records.removeAt(row);
    m_deleteButtons.removeAt(row);
    if (m_records.isEmpty())
        close();
}
