#pragma once
#include "core/altaccountrecord.h"
#include "widgets/framelessdialog.h"
#include <QList>
#include <QUrl>

class QLabel;
class QPushButton;
class QStandardItemModel;

// The stored alt accounts, a row each: "开始游戏" enters that account's game
// in a new tab, "删除" removes the account (found by content in the file as
// it is now), "添加" asks for another. Built from the file once.
class AltAccountTable : public FramelessDialog
{
    Q_OBJECT

public:
    // Each row holds two buttons; a list of tens of thousands of accounts
    // would freeze the window for minutes while they are made.
    static constexpr int kShown = 200;

    explicit AltAccountTable(QWidget *parent);

signals:
    void startGameRequested(const QString &title, const QUrl &url);
    void addRequested();

private:
    void addRow(const AltAccountRecord &record);
    void deleteAccount(QPushButton *button);

    QLabel *m_failure = nullptr;
    QStandardItemModel *m_model = nullptr;
    QList<AltAccountRecord> m_records; // by row
    QList<QPushButton *> m_deleteButtons;
};
