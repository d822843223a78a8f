#include "downloadfailurebox.h"
#include "widgets/primarybutton.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DownloadFailureBox::DownloadFailureBox(const QString &fileName, const QString &reason, bool resumable, QWidget *window)
    : FramelessDialog(window)
    , m_resumable(resumable)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(360, 180);
    auto *content = new QWidget;
    auto *what = new QLabel(tr("下载失败：%1").arg(fileName), content);
    auto *why = new QLabel(reason, content);
    for (QLabel *label : {what, why}) {
        label->setTextFormat(Qt::PlainText); // a name the server chose, never markup
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
    }
    why->setStyleSheet(QStringLiteral("color:gray"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    if (resumable) {
        auto *resume = new PrimaryButton(content);
        resume->setText(tr("继续下载"));
        auto *cancel = new QPushButton(tr("取消下载"), content);
        connect(resume, &QPushButton::clicked, this, [this] {
            emit resumeRequested();
            close();
        });
        connect(cancel, &QPushButton::clicked, this, &QWidget::close);
        for (QPushButton *button : {static_cast<QPushButton *>(resume), cancel}) {
            button->setFixedSize(90, 28);
            buttons->addWidget(button);
        }
    } else {
        auto *ok = new PrimaryButton(content);
        ok->setText(tr("确定"));
        connect(ok, &QPushButton::clicked, this, &QWidget::close);
        ok->setFixedSize(90, 28);
        buttons->addWidget(ok);
    }
    buttons->addStretch();

    auto *layout = new QVBoxLayout(content);
    layout->addWidget(what);
    layout->addWidget(why);
    layout->addLayout(buttons);
    setupFrame(tr("下载"), content);
}
