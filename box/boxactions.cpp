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
    , zoomIn(action(tr("放大"), nullptr, this))
    , zoomOut(action(tr("缩小"), nullptr, this))
    , resetZoom(action(tr("实际大小"), nullptr, this))
    , back(action(tr("后退"), nullptr, this))
    , forward(action(tr("前进"), nullptr, this))
    , nextTab(action(tr("下一个标签"), nullptr, this))
    , previousTab(action(tr("上一个标签"), nullptr, this))
{
    // Heard in every window of the box: detached games and dialogs too.
    bossKey->setShortcutContext(Qt::ApplicationShortcut);
    fullScreen->setShortcutContext(Qt::ApplicationShortcut);
    messages->setToolTip(tr("站内消息"));

    // None is a bare letter: a game steered with WASD or the arrows keeps them.
    // Ctrl+Shift+Tab arrives as Backtab on X11.
    using K = QKeySequence;
    m_ownKeys = {{reload, {K(Qt::Key_F5), K(Qt::CTRL | Qt::Key_R)}},
                 {closeTab, {K(Qt::CTRL | Qt::Key_W)}},
                 {zoomIn, {K(Qt::CTRL | Qt::Key_Equal), K(Qt::CTRL | Qt::Key_Plus)}},
                 {zoomOut, {K(Qt::CTRL | Qt::Key_Minus)}},
                 {resetZoom, {K(Qt::CTRL | Qt::Key_0)}},
                 {back, {K(Qt::ALT | Qt::Key_Left)}},
                 {forward, {K(Qt::ALT | Qt::Key_Right)}},
                 {nextTab, {K(Qt::CTRL | Qt::Key_Tab)}},
                 {previousTab, {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}}};
    setHotkeys(QKeySequence(), QKeySequence());
}

QList<QAction *> BoxActions::tabActions() const
{
    return {reload, closeTab, zoomIn, zoomOut, resetZoom, back, forward, nextTab, previousTab};
}

void BoxActions::setHotkeys(const QKeySequence &bossChord, const QKeySequence &fullScreenChord)
{
    bossKey->setShortcut(bossChord);
    fullScreen->setShortcut(fullScreenChord);
    for (QAction *tabAction : tabActions()) {
        QList<QKeySequence> keys = m_ownKeys.value(tabAction);
        keys.removeAll(bossChord);
        keys.removeAll(fullScreenChord);
        tabAction->setShortcuts(keys);
    }
}
