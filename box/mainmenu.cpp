#include "mainmenu.h"
#include "core/version.h"
#include "core/endpoints.h"
#include "box/prompts.h"
#include "box/updatechecker.h"
#include "widgets/aboutdialog.h"
#include "widgets/settingsdialog.h"
#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

namespace {
const QString kMenuStyle = QStringLiteral(
    "QMenu{border-radius:5px;font-size:12px;background-color:white}QMenu::icon{margin-left:15px}"
    "QMenu::item {height:35px; width:100px;padding-left:15px;border: 1px solid none;}"
    "QMenu::item:selected {background-color:lightgray;                             "
    "padding-left:15px;border: 1px solid lightgray;}");
} // namespace

MainMenu::MainMenu(QWidget *window, UpdateChecker *updates, QPushButton *systemButton, QPushButton *accountButton)
    : QObject(window)
    , m_window(window)
    , m_updates(updates)
{
    connect(updates, &UpdateChecker::replied, this, &MainMenu::onUpdateReply);
    // "常见问题" and "切换账号" have no picture of their own.
    systemButton->setMenu(createMenu({{tr("系统设置"), QStringLiteral("://img/seting")},
                                      {tr("检查更新"), QStringLiteral("://img/update")},
                                      {tr("官方网站"), QStringLiteral("://img/web")},
                                      {tr("常见问题"), QString()},
                                      {tr("关于"), QStringLiteral("://img/about")}}));
    accountButton->setMenu(createMenu({{tr("账号安全"), QStringLiteral("://img/safe")}, {tr("切换账号"), QString()}}));
}

QMenu *MainMenu::createMenu(const QList<QPair<QString, QString>> &entries)
{
    auto *menu = new QMenu(m_window);
    menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint);
    menu->setAttribute(Qt::WA_TranslucentBackground);
    menu->setStyleSheet(kMenuStyle);
    for (const auto &entry : entries)
        menu->addAction(QIcon(entry.second), entry.first);
    connect(menu, &QMenu::triggered, this, &MainMenu::menuTriggered);
    return menu;
}

void MainMenu::trigger(QAction *action)
{
    const QString text = action->text();
    if (text == tr("系统设置")) {
        if (m_settingDialog)
            m_settingDialog->close(); // and freed
        m_settingDialog = new SettingsDialog(m_window);
        showDialog(m_settingDialog, QPoint(m_window->width() / 2 - 190, m_window->height() / 2 - 150));
    } else if (text == tr("关于")) {
        if (m_aboutDialog)
            m_aboutDialog->close();
        m_aboutDialog = new AboutDialog(Endpoints::url(Endpoints::Address::Website), m_window);
        showDialog(m_aboutDialog, QPoint(m_window->width() / 2 - 150, m_window->height() / 2 - 100));
    } else if (text == tr("检查更新")) {
        checkForUpdate();
    } else if (text == tr("官方网站")) {
        QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::Website));
    } else if (text == tr("常见问题")) {
        QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::Faq));
    } else if (text == tr("账号安全")) {
        QDesktopServices::openUrl(Endpoints::url(Endpoints::Address::AccountSecurity));
    } else if (text == tr("切换账号")) {
        emit switchAccountRequested();
    }
}

void MainMenu::showDialog(QWidget *dialog, QPoint at)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->move(at);
    dialog->show();
    dialog->raise();
}

void MainMenu::checkForUpdate()
{
    // Answered from the reply the window got when it opened; no new request.
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
