#include "aboutdialog.h"
#include "core/version.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

AboutDialog::AboutDialog(const QUrl &website, QWidget *parent)
    : FramelessDialog(parent)
{
    setFixedSize(300, 200);
    auto *content = new QWidget;

    auto *icon = new QLabel(content);
    icon->setPixmap(QPixmap(QStringLiteral("://img/icon_32x32")));
    auto *nameColumn = new QVBoxLayout;
    nameColumn->addWidget(new QLabel(tr("Kavo游戏盒子"), content));
    nameColumn->addWidget(new QLabel(tr("当前版本") + QLatin1String(Version::kName), content));
    auto *top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(icon);
    top->addSpacing(20);
    top->addLayout(nameColumn);
    top->addStretch();

    auto *maker = new QLabel(tr("Kavo游戏盒子开发组 出品"), content);
    auto *address = new QLabel(tr("官方网站：%1").arg(website.toDisplayString()), content);
    address->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(content);
    layout->addLayout(top);
    layout->addSpacing(20);
    layout->addLayout(centredRow(maker));
    layout->addLayout(centredRow(address));
    layout->addStretch();

    setupFrame(tr("关于"), content);
}
