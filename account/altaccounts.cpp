#include "altaccounts.h"
#include "account/xiaohaodialog.h"
#include "account/xiaohaotabledialog.h"
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
    const QByteArray stored = readXiaohaoList().trimmed();
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
    auto *table = new XiaoHaoTableDialog(m_window);
    table->setAttribute(Qt::WA_DeleteOnClose);
    connect(table, &XiaoHaoTableDialog::startGameRequested, this, &AltAccounts::startGameRequested);
    connect(table, &XiaoHaoTableDialog::addRequested, this, [this] {
        XiaohaoDialog *dialog = newAddDialog();
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        showAddDialog(dialog);
    });
    table->move(m_window->width() / 2 - 270, m_window->height() / 2 - 200);
    table->show();
    table->raise();
    m_table = table;
}

XiaohaoDialog *AltAccounts::newAddDialog()
{
    auto *dialog = new XiaohaoDialog(m_api, m_window);
    connect(dialog, &XiaohaoDialog::saved, this, &AltAccounts::showTable);
    return dialog;
}

void AltAccounts::showAddDialog(XiaohaoDialog *dialog)
{
    dialog->move(m_window->width() / 2 - 215, m_window->height() / 2 - 160);
    dialog->show();
    dialog->raise();
}
