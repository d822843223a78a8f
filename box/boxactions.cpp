#include "boxactions.h"
#include <QAction>
#include <QIcon>

namespace {
QAction *action(const QString &text, const char *icon, QObject *parent)
{
    return new QAction(icon ? QIcon(QLatin1String(icon)) : QIcon(), text, parent);
}
} // namespace

BoxActions::BoxActions(QObject *parent)
    : QObject(parent)
    // "常见问题" and "切换账号" have no picture of their own.
    , settings(action(tr("系统设置"), "://img/seting", this))
    , checkUpdate(action(tr("检查更新"), "://img/update", this))
    , website(action(tr("官方网站"), "://img/web", this))
    , faq(action(tr("常见问题"), nullptr, this))
    , about(action(tr("关于"), "://img/about", this))
    , accountSecurity(action(tr("账号安全"), "://img/safe", this))
    , switchAccount(action(tr("切换账号"), nullptr, this))
    , minimize(action(tr("最小化"), "://img/zoom_out", this))
    , toggleMaximized(action(tr("最大化"), "://img/zoom_in", this))
    , confirmQuit(action(tr("关闭"), "://img/zoom_close", this))
    , messages(action(tr("消息"), ":/img/message", this))
    , restoreMaximized(action(tr("最大化"), nullptr, this))
    , restore(action(tr("还原"), nullptr, this))
    , quit(action(tr("退出"), nullptr, this))
    , bossKey(action(tr("老板键"), nullptr, this))
    , fullScreen(action(tr("全屏"), nullptr, this))
    , reload(action(tr("刷新"), nullptr, this))
    , closeTab(action(tr("关闭标签"), nullptr, this))
{
    // Heard in every window of the box: detached games and dialogs too.
    bossKey->setShortcutContext(Qt::ApplicationShortcut);
    fullScreen->setShortcutContext(Qt::ApplicationShortcut);
    messages->setToolTip(tr("站内消息"));
}
