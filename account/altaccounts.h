#pragma once
#include <QObject>
#include <QPointer>
#include <QUrl>

class PortalApi;
class QWidget;
class AltAccountTable;
class AltAccountDialog;

// The alt accounts of one main window: "小号" shows the add dialog while no
// account is stored (the same dialog each time, so what was typed stays),
// and the table of accounts otherwise; both are drawn inside the window.
class AltAccounts : public QObject
{
    Q_OBJECT

public:
    AltAccounts(QWidget *mainWindow, PortalApi *api);

    // "小号" on a page's toolbar.
    void showForToolbar();

signals:
    void startGameRequested(const QString &account, const QString &title, const QUrl &url);
    void accountDeleted(const QString &account);

private:
    void showTable();
    void showAddDialog(AltAccountDialog *dialog);
    AltAccountDialog *newAddDialog();

    QWidget *m_window;
    PortalApi *m_api;
    QPointer<AltAccountDialog> m_toolbarDialog; // kept, reused
    QPointer<AltAccountTable> m_table;
};
