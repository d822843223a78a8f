#pragma once
#include "widgets/framelessdialog.h"
#include <QUrl>

class QLabel;
class RecyclingListView;

// The stored alt accounts, all of them, a row each: "开始游戏" enters that
// account's game in a new tab, "删除" removes the account (found by content
// in the file as it is now), "添加" asks for another. Read from the file
// once; records that cannot enter a game are left in the file, unshown.
// The rows are a model's, shown by a RecyclingListView: real buttons on
// the rows on screen, whatever the length of the list.
class AltAccountTable : public FramelessDialog
{
    Q_OBJECT

public:
    explicit AltAccountTable(QWidget *parent);
    ~AltAccountTable() override;

signals:
    // account: whose game it is, to be played in that account's profile.
    void startGameRequested(const QString &account, const QString &title, const QUrl &url);
    void addRequested();
    // No record of the account is left: what the box keeps of it can go.
    void accountDeleted(const QString &account);

protected:
    void showEvent(QShowEvent *event) override;

private:
    class Model;
    class Row;

    QWidget *makeRow(QWidget *parent);
    void startGame(int row);
    void deleteAccount(int row);

    QLabel *m_failure = nullptr;
    Model *m_model = nullptr;
    RecyclingListView *m_view = nullptr;
};
