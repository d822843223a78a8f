#include "altaccounttable.h"
#include "core/altaccountrecord.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include "widgets/clickablelabel.h"
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kRowButtonStyle = QStringLiteral(
    "background:#409eff;color:white;margin-left:15px;margin-top:3px;border:none;border-radius:5px");

enum Column { kAccount, kGame, kServer, kStart, kEdit };
} // namespace

AltAccountTable::AltAccountTable(QWidget *parent)
    : FramelessDialog(parent)
{
    resize(545, 400);
    auto *content = new QWidget;
    m_failure = new QLabel(tr("删除失败，请稍后重试"), content);
    m_failure->setStyleSheet(QStringLiteral("color:red"));
    m_failure->hide();

    auto *view = new QTableView(content);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new QStandardItemModel(0, 5, view);
    m_model->setHorizontalHeaderLabels({tr("账号"), tr("游戏"), tr("区服"), tr("状态"), tr("编辑")});
    view->setModel(m_model);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    const QJsonArray stored = readAltAccountRecords();
    qCInfo(lcAccount) << "jsonarr:::" << stored.size() << "alt accounts";
    const int shown = qMin<int>(stored.size(), kShown);
    if (shown < stored.size())
        qCWarning(lcAccount).noquote() << "xiaohaoinfolist.txt holds" << stored.size()
                                       << "alt accounts; the table shows the first" << shown;
    for (int i = 0; i < shown; ++i)
        addRow(AltAccountRecord::fromJson(stored.at(i)));
    for (int row = 0; row < m_model->rowCount(); ++row) {
        QPushButton *start = new QPushButton(tr("开始游戏"), view);
        QPushButton *remove = new QPushButton(tr("删除"), view);
        for (QPushButton *button : {start, remove}) {
            button->setStyleSheet(kRowButtonStyle);
            button->setFixedSize(80, 25);
        }
        const QString title = m_records.at(row).gamename;
        const QUrl url = m_records.at(row).enterGameUrl();
        connect(start, &QPushButton::clicked, this, [this, title, url] {
            qCDebug(lcAccount).noquote() << "小号进入游戏：" << Endpoints::urlForLog(url);
            emit startGameRequested(title, url);
            close();
        });
        connect(remove, &QPushButton::clicked, this, [this, remove] { deleteAccount(remove); });
        view->setIndexWidget(m_model->index(row, kStart), start);
        view->setIndexWidget(m_model->index(row, kEdit), remove);
        m_deleteButtons.append(remove);
    }

    auto *warning = new QLabel(tr("同时开太多小号存在封禁隐患"), content);
    warning->setStyleSheet(QStringLiteral("color:gray"));
    auto *registerLabel = new ClickableLabel(content);
    registerLabel->setText(tr("立即注册！"));
    registerLabel->setStyleSheet(QStringLiteral("color:blue"));
    connect(registerLabel, &ClickableLabel::clicked, this,
            [] { QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::Registration)); });
    auto *add = new QPushButton(tr("添加"), content);
    connect(add, &QPushButton::clicked, this, [this] {
        close();
        emit addRequested();
    });
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(50);
    bottom->addWidget(warning);
    bottom->addWidget(registerLabel);
    bottom->addWidget(add);

    auto *layout = new QVBoxLayout(content);
    layout->addWidget(m_failure);
    layout->addWidget(view);
    layout->addLayout(bottom);
    setupFrame(tr("小号列表"), content);
}

void AltAccountTable::addRow(const AltAccountRecord &record)
{
    m_records.append(record);
    QList<QStandardItem *> cells;
    for (const QString &text : {record.username, record.gamename, record.servername}) {
        auto *cell = new QStandardItem(text);
        cell->setTextAlignment(Qt::AlignCenter);
        cells << cell;
    }
    cells << new QStandardItem << new QStandardItem;
    m_model->appendRow(cells);
}

void AltAccountTable::deleteAccount(QPushButton *button)
{
    const int row = m_deleteButtons.indexOf(button);
    if (row < 0)
        return;
    if (removeRecord(ListFile::AltAccounts, m_records.at(row).stored) == Removal::Failed) {
        m_failure->show();
        return;
    }
    m_failure->hide();
    m_model->removeRow(row);
    m_records.removeAt(row);
    m_deleteButtons.removeAt(row);
}
