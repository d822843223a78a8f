#include "prompts.h"
#include "widgets/question.h"
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace Prompts {

namespace {
// The prompts' texts, under one translation context.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Prompts)
};
} // namespace

void tellUpToDate()
{
    QMessageBox box(QMessageBox::NoIcon, Text::tr("Kavo游戏盒子"), Text::tr("已经是最新版本，暂无更新"));
    // Its own icon: the application's stays the box's. Its own words on the
    // button, which then carries no picture of the desktop's theme either.
    box.setWindowIcon(QIcon(QStringLiteral("://img/tip")));
    box.setEscapeButton(box.addButton(Text::tr("确定"), QMessageBox::AcceptRole));
    box.exec();
}

bool askToDownloadNewer(QWidget *parent)
{
    return askToConfirm(parent, Text::tr("提示"), Text::tr("发现有新的版本，需要前往下载吗?"));
}

bool insistOnUpdate()
{
    QMessageBox box(QMessageBox::NoIcon, Text::tr("Kavo游戏盒子"), Text::tr("发现新版本！请先更新版本，再继续使用游戏盒子！"));
    box.setWindowFlag(Qt::WindowCloseButtonHint, true);
    QPushButton *agree = box.addButton(Text::tr("同意"), QMessageBox::AcceptRole);
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
    return askToConfirm(parent, QStringLiteral("Quit"), Text::tr("确定退出Kavo游戏盒子吗?"));
}

} // namespace Prompts
