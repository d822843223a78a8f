#include "altaccounttable.h"
#include "core/altaccountrecord.h"
#include "core/endpoints.h"
#include "core/listfiles.h"
#include "core/logging.h"
#include "widgets/clickablelabel.h"
#include "widgets/recyclinglistview.h"
#include <QAbstractListModel>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVector>
#include <algorithm>

namespace {
const QString kRowButtonStyle = QStringLiteral(
    "background:#409eff;color:white;margin-left:15px;margin-top:3px;border:none;border-radius:5px");
constexpr int kRowHeight = 34;

// Five columns of equal width, as the titles above them: three texts, two
// buttons.
void addColumns(QWidget *row, const QList<QWidget *> &cells)
{
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget *cell : cells) {
        if (qobject_cast<QLabel *>(cell)) {
            cell->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            layout->addWidget(cell, 1);
        } else {
            layout->addWidget(cell, 1, Qt::AlignCenter);
        }
    }
}

QLabel *centredText(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText); // names from the portal and the user, never markup
    return label;
}
} // namespace

class AltAccountTable::Model : public QAbstractListModel
{
public:
    Model(QVector<AltAccountRecord> records, QObject *parent)
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
        const AltAccountRecord &account = m_records.at(index.row());
        return QStringList{account.username, account.gamename, account.servername}.join(QLatin1Char(' '));
    }
    const AltAccountRecord &record(int row) const { return m_records.at(row); }
    void remove(int row)
    {
        beginRemoveRows(QModelIndex(), row, row);
        m_records.removeAt(row);
        endRemoveRows();
    }

private:
    QVector<AltAccountRecord> m_records;
};

class AltAccountTable::Row : public QWidget
{
public:
    explicit Row(QWidget *parent)
        : QWidget(parent)
        , start(new QPushButton(AltAccountTable::tr("开始游戏"), this))
        , remove(new QPushButton(AltAccountTable::tr("删除"), this))
    {
        for (QLabel *&text : m_texts)
            text = centredText(QString(), this);
        for (QPushButton *button : {start, remove}) {
            button->setStyleSheet(kRowButtonStyle);
            button->setFixedSize(80, 25);
        }
        addColumns(this, {m_texts[0], m_texts[1], m_texts[2], start, remove});
    }
    void fill(const AltAccountRecord &account, const QString &text)
    {
        m_texts[0]->setText(account.username);
        m_texts[1]->setText(account.gamename);
        m_texts[2]->setText(account.servername);
        setAccessibleName(text);
    }

    QPushButton *start;
    QPushButton *remove;

private:
    QLabel *m_texts[3] = {};
};

AltAccountTable::AltAccountTable(QWidget *parent)
    : FramelessDialog(parent)
{
    resize(545, 400);
    auto *content = new QWidget;
    m_failure = new QLabel(tr("删除失败，请稍后重试"), content);
    m_failure->setStyleSheet(QStringLiteral("color:red"));
    m_failure->hide();

    QVector<AltAccountRecord> accounts = readUsableAltAccounts();
    qCInfo(lcAccount) << "jsonarr:::" << accounts.size() << "alt accounts";
    m_model = new Model(std::move(accounts), this);
    m_view = new RecyclingListView(
        kRowHeight, [this](QWidget *parent) { return makeRow(parent); },
        [this](QWidget *row, int index) {
            static_cast<Row *>(row)->fill(m_model->record(index), m_model->index(index).data().toString());
        },
        content);
    m_view->setAccessibleName(tr("小号列表"));
    auto *titles = new QWidget;
    QList<QWidget *> cells;
    for (const QString &title : {tr("账号"), tr("游戏"), tr("区服"), tr("状态"), tr("编辑")})
        cells << centredText(title, titles);
    addColumns(titles, cells);
    titles->setFixedHeight(kRowHeight);
    m_view->setHeader(titles);
    m_view->setModel(m_model);

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
    layout->addWidget(m_view);
    layout->addLayout(bottom);
    setupFrame(tr("小号列表"), content);
}

AltAccountTable::~AltAccountTable() = default;

QWidget *AltAccountTable::makeRow(QWidget *parent)
{
    auto *row = new Row(parent);
    connect(row->start, &QPushButton::clicked, this, [this, row] { startGame(m_view->rowOf(row)); });
    connect(row->remove, &QPushButton::clicked, this, [this, row] { deleteAccount(m_view->rowOf(row)); });
    return row;
}

void AltAccountTable::showEvent(QShowEvent *event)
{
    FramelessDialog::showEvent(event);
    m_view->setFocus(); // the keys scroll the list at once
}

void AltAccountTable::startGame(int row)
{
    if (row < 0)
        return;
    const AltAccountRecord &account = m_model->record(row);
    const QUrl url = account.enterGameUrl();
    qCDebug(lcAccount).noquote() << "小号进入游戏：" << Endpoints::urlForLog(url);
    emit startGameRequested(account.username, account.tabTitle(), url);
    close();
}

void AltAccountTable::deleteAccount(int row)
{
    if (row < 0)
        return;
    const QString username = m_model->record(row).username;
    if (removeRecord(ListFile::AltAccounts, m_model->record(row).stored) == Removal::Failed) {
        m_failure->show();
        return;
    }
    m_failure->hide();
    m_model->remove(row);
    // The same account may be stored for another game or server.
    const QJsonArray stored = readAltAccountRecords();
    const bool kept = std::any_of(stored.begin(), stored.end(), [&username](const QJsonValue &record) {
        return AltAccountRecord::fromJson(record).username == username;
    });
    if (!kept)
        emit accountDeleted(username);
}
