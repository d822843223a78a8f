#include "question.h"
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Question)
};
} // namespace

bool askToConfirm(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(Text::tr("确定"), QMessageBox::AcceptRole);
    QPushButton *no = box.addButton(Text::tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}
