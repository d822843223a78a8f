#include "prompts.h"
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace Prompts {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Prompts", text);
}
} // namespace

void tellUpToDate()
{
    QMessageBox box(QMessageBox::NoIcon, tr("Kavo游戏盒子"), tr("已经是最新版本，暂无更新"));
    // Its own icon: the application's stays the box's.
    box.setWindowIcon(QIcon(QStringLiteral("://img/tip")));
    box.exec();
}

bool askToDownloadNewer(QWidget *parent)
{
    return QMessageBox::question(parent, tr("提示"), tr("发现有新的版本，需要前往下载吗?"),
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

bool insistOnUpdate()
{
    QMessageBox box(QMessageBox::NoIcon, tr("Kavo游戏盒子"), tr("发现新版本！请先更新版本，再继续使用游戏盒子！"));
    box.setWindowFlag(Qt::WindowCloseButtonHint, true);
    QPushButton *agree = box.addButton(tr("同意"), QMessageBox::AcceptRole);
    // A box with one button reports a close or Escape as that button: a
    // separate escape button tells them apart.
    QPushButton *dismiss = box.addButton(QMessageBox::Cancel);
    dismiss->hide();
    box.setEscapeButton(dismiss);
    box.exec();
    return box.clickedButton() == agree;
}

bool askToQuit(QWidget *parent)
{
    return QMessageBox::question(parent, QStringLiteral("Quit"), tr("确定退出Kavo游戏盒子吗?"),
                                 QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace Prompts
