#include "reminderlistdialog.h"
#include "core/listfiles.h"
#include "core/logging.h"
#include "core/reminderrecord.h"
#include "widgets/recyclinglistview.h"
#include <QAbstractListModel>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVector>

namespace {
constexpr int kCardHeight = 70;
constexpr int kSpacing = 5; // around each card
} // namespace

class ReminderListDialog::Model : public QAbstractListModel
{
public:
    Model(QVector<ReminderRecord> records, QObject *parent)
        : QAbstractListModel(parent)
        , m_records(std::move(records))
    {
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_records.size();
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return QVariant();
        const ReminderRecord &reminder = m_records.at(index.row());
        return QStringLiteral("%1 %2 %3").arg(when(reminder), title(reminder), remark(reminder));
    }
    const ReminderRecord &record(int row) const { return m_records.at(row); }
    void remove(int row)
    {
        beginRemoveRows(QModelIndex(), row, row);
        m_records.removeAt(row);
        endRemoveRows();
    }

    static QString when(const ReminderRecord &reminder)
    {
        return QLocale::system().toString(QDateTime::fromSecsSinceEpoch(reminder.time), QLocale::ShortFormat);
    }
    // The server's abbreviation, as the portal's own lists show it.
    static QString title(const ReminderRecord &reminder)
    {
        return reminder.gamename + QStringLiteral("【") + reminder.server + QStringLiteral("】");
    }
    static QString remark(const ReminderRecord &reminder) { return ReminderListDialog::tr("备注：") + reminder.remark; }

private:
    QVector<ReminderRecord> m_records;
};

class ReminderListDialog::Card : public QWidget
{
public:
    explicit Card(QWidget *parent)
        : QWidget(parent)
        , remove(new QToolButton(this))
        , m_time(new QLabel(this))
        , m_title(new QLabel(this))
        , m_remark(new QLabel(this))
    {
        auto *icon = new QLabel(this);
        icon->setPixmap(QPixmap(QStringLiteral("://img/clock")));
        m_remark->setStyleSheet(QStringLiteral("color:grey"));
        for (QLabel *label : {m_title, m_remark})
            label->setTextFormat(Qt::PlainText); // the portal's and the user's text, never markup
        remove->setIcon(QIcon(QStringLiteral("://img/delete")));
        remove->setAccessibleName(ReminderListDialog::tr("删除"));
        remove->setToolTip(ReminderListDialog::tr("删除"));

        auto *heading = new QHBoxLayout;
        heading->addWidget(m_time);
        heading->addSpacing(15);
        heading->addWidget(m_title);
        heading->addStretch();
        auto *texts = new QVBoxLayout;
        texts->addLayout(heading);
        texts->addWidget(m_remark);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(kSpacing, kSpacing, kSpacing, kSpacing);
        layout->addSpacing(10);
        layout->addWidget(icon);
        layout->addSpacing(10);
        layout->addLayout(texts);
        layout->addStretch();
        layout->addWidget(remove);
        layout->addSpacing(10);
    }
    void fill(const ReminderRecord &reminder, const QString &text)
    {
        m_time->setText(Model::when(reminder));
        m_title->setText(Model::title(reminder));
        m_remark->setText(Model::remark(reminder));
        setAccessibleName(text);
    }

    QToolButton *remove;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::gray);
        painter.drawRoundedRect(QRectF(rect()).adjusted(kSpacing + 0.5, kSpacing + 0.5, -kSpacing - 0.5, -kSpacing - 0.5), 5, 5);
    }

private:
    QLabel *m_time;
    QLabel *m_title;
    QLabel *m_remark;
};

ReminderListDialog::ReminderListDialog(QWidget *parent)
    : FramelessDialog(parent)
{
    setFixedSize(430, 320);
    auto *content = new QWidget;
    m_model = new Model(readUsableReminders(), this);
    m_view = new RecyclingListView(
        kCardHeight + 2 * kSpacing, [this](QWidget *parent) { return makeCard(parent); },
        [this](QWidget *card, int row) {
            static_cast<Card *>(card)->fill(m_model->record(row), m_model->index(row).data().toString());
        },
        content);
    m_view->setAccessibleName(tr("闹钟提醒"));
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setModel(m_model);

    auto *hint = new QLabel(tr("最多只能有%1个闹钟提醒(点击开服列表添加闹钟)").arg(kReminderLimit), content);
    hint->setStyleSheet(QStringLiteral("color:red"));
    m_failure = new QLabel(tr("删除失败，请稍后重试"), content);
    m_failure->setStyleSheet(QStringLiteral("color:red"));
    m_failure->hide();
    auto *layout = new QVBoxLayout(content);
    layout->addWidget(hint);
    layout->addWidget(m_failure);
    layout->addWidget(m_view);
    setupFrame(tr("闹钟提醒"), content);
}

ReminderListDialog::~ReminderListDialog() = default;

QWidget *ReminderListDialog::makeCard(QWidget *parent)
{
    auto *card = new Card(parent);
    connect(card->remove, &QToolButton::clicked, this, [this, card] { deleteReminder(m_view->rowOf(card)); });
    return card;
}

void ReminderListDialog::showEvent(QShowEvent *event)
{
    FramelessDialog::showEvent(event);
    m_view->setFocus(); // the keys scroll the list at once
}

void ReminderListDialog::deleteReminder(int row)
{
    if (row < 0)
        return;
    switch (removeRecord(ListFile::Reminders, m_model->record(row).stored)) {
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
    m_model->remove(row);
    if (m_model->rowCount() == 0)
        close();
}
