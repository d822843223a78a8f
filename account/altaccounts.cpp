#include "altaccounts.h"
#include "account/altaccountdialog.h"
#include "account/altaccounttable.h"
#include "core/listfiles.h"

AltAccounts::AltAccounts(QWidget *mainWindow, PortalApi *api)
    : QObject(mainWindow)
    , m_window(mainWindow)
    , m_api(api)
{
}

void AltAccounts::showForToolbar()
{
    // As the list file stands: nothing stored yet (missing, empty, or an
    // empty object) asks for an account; anything else, "[]" and text that
    // is no list included, shows the table.
    const QByteArray stored = readAltAccountList().trimmed();
    if (!stored.isEmpty() && stored != "{}") {
        showTable();
        return;
    }
    if (!m_toolbarDialog)
        m_toolbarDialog = newAddDialog();
    showAddDialog(m_toolbarDialog);
}

void AltAccounts::showTable()
{
    if (m_table)
        m_table->close();
    auto *table = new AltAccountTable(m_window);
    table->setAttribute(Qt::WA_DeleteOnClose);
    connect(table, &AltAccountTable::startGameRequested, this, &AltAccounts::startGameRequested);
    connect(table, &AltAccountTable::accountDeleted, this, &AltAccounts::accountDeleted);
    connect(table, &AltAccountTable::addRequested, this, [this] {
        AltAccountDialog *dialog = newAddDialog();
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        showAddDialog(dialog);
    });
    table->showCentred();
    m_table = table;
}

AltAccountDialog *AltAccounts::newAddDialog()
{
    auto *dialog = new AltAccountDialog(m_api, m_window);
    connect(dialog, &AltAccountDialog::saved, this, &AltAccounts::showTable);
    return dialog;
}

void AltAccounts::showAddDialog(AltAccountDialog *dialog)
{
    dialog->showCentred();
}
