#include "mainmenu.h"
#include "box/boxactions.h"
#include "box/prompts.h"
#include "box/updatechecker.h"
#include "core/endpoints.h"
#include "core/version.h"
#include "widgets/aboutdialog.h"
#include "widgets/settingsdialog.h"
#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>

namespace {
const QString kMenuStyle = QStringLiteral(
    "QMenu{border-radius:5px;font-size:12px;background-color:white}QMenu::icon{margin-left:15px}"
    "QMenu::item {height:35px; width:100px;padding-left:15px;border: 1px solid none;}"
    "QMenu::item:selected {background-color:lightgray;                             "
    "padding-left:15px;border: 1px solid lightgray;}");

QMenu *createMenu(const QList<QAction *> &entries, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint);
    menu->setAttribute(Qt::WA_TranslucentBackground);
    menu->setStyleSheet(kMenuStyle);
    menu->addActions(entries);
    return menu;
}
} // namespace

MainMenu::MainMenu(QWidget *window, Config *config, UpdateChecker *updates, BoxActions *actions)
    : QObject(window)
    , m_window(window)
    , m_config(config)
    , m_updates(updates)
    , m_actions(actions)
{
    connect(updates, &UpdateChecker::replied, this, &MainMenu::onUpdateReply);
}

void MainMenu::attachTo(QPushButton *systemButton, QPushButton *accountButton)
{
    systemButton->setMenu(createMenu({m_actions->settings, m_actions->checkUpdate, m_actions->website,
                                      m_actions->faq, m_actions->about},
                                     m_window));
    accountButton->setMenu(createMenu({m_actions->accountSecurity, m_actions->switchAccount}, m_window));
}

void MainMenu::showSettings()
{
    if (m_settingsDialog)
        m_settingsDialog->close(); // and freed
    m_settingsDialog = new SettingsDialog(m_config, m_window);
    m_settingsDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_settingsDialog->showCentred();
}

void MainMenu::showAbout()
{
    if (m_aboutDialog)
        m_aboutDialog->close();
    m_aboutDialog = new AboutDialog(Endpoints::url(Endpoints::Address::Website), m_window);
    m_aboutDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_aboutDialog->showCentred();
}

void MainMenu::answerUpdateCheck()
{
    if (m_updates->versionCode() <= Version::kCode) {
        Prompts::tellUpToDate();
        return;
    }
    if (Prompts::askToDownloadNewer(m_window))
        QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::DownloadSite));
}

void MainMenu::onUpdateReply()
{
    // The server decides whether to force, whatever the version code.
    if (!m_updates->lastReply().force)
        return;
    if (!Prompts::insistOnUpdate())
        return;
    QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::DownloadSite));
    emit quitRequested();
}
