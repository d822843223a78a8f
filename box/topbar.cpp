#include "topbar.h"
#include "box/boxactions.h"
#include "widgets/clickablelabel.h"
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
const QString kMenuButtonStyle = QStringLiteral(
    "QPushButton::menu-indicator{image:none;}QPushButton{border-style: none;}"
    "QPushButton:hover{background-color:lightgray; color: white;}"
    "QPushButton:pressed{background-color:lightgray; border-style: inset;}");
const QString kZoomIn = QStringLiteral("://img/zoom_in");
const QString kZoomedIn = QStringLiteral("://img/zoom_in_1");

QPushButton *styledMenuButton(const QString &icon, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(QIcon(icon), QString(), parent);
    button->setStyleSheet(kMenuButtonStyle);
    button->setCursor(Qt::PointingHandCursor);
    button->setAccessibleName(name);
    return button;
}

// A window control: the action's picture, named as the action.
ClickableLabel *control(const QString &image, QAction *action, QWidget *parent)
{
    auto *label = new ClickableLabel(image, action->text(), parent);
    QObject::connect(label, &ClickableLabel::clicked, action, &QAction::trigger);
    return label;
}
} // namespace

TopBar::TopBar(const QString &userName, BoxActions *actions, QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(42);
    setStyleSheet(QStringLiteral("background:white"));
    setAttribute(Qt::WA_StyledBackground);

    auto *logo = new QLabel(this);
    logo->setPixmap(QPixmap(QStringLiteral("://img/logonew")));
    logo->setFixedHeight(25);
    logo->setScaledContents(true);
    auto *accountIcon = new QLabel(this);
    accountIcon->setPixmap(QPixmap(QStringLiteral("://img/account")));
    auto *name = new QLabel(userName, this);
    name->setObjectName(QStringLiteral("userNameLabel"));
    name->setTextFormat(Qt::PlainText); // a user name is never markup

    m_accountButton = styledMenuButton(QStringLiteral("://img/arrow_down"), tr("账号菜单"), this);
    m_accountButton->setFlat(true);
    m_menuButton = styledMenuButton(QStringLiteral("://img/select_16"), tr("系统菜单"), this);
    m_menuButton->setFixedSize(16, 16);
    m_zoomLabel = control(kZoomIn, actions->toggleMaximized, this);

    auto *left = new QHBoxLayout;
    left->addWidget(logo);
    left->addWidget(accountIcon);
    left->addWidget(name);
    left->addWidget(m_accountButton);
    left->addStretch();

    auto *right = new QHBoxLayout;
    right->addStretch();
    right->addWidget(m_menuButton);
    for (QWidget *label : {static_cast<QWidget *>(control(QStringLiteral("://img/zoom_out"), actions->minimize, this)),
                           static_cast<QWidget *>(m_zoomLabel),
                           static_cast<QWidget *>(control(QStringLiteral("://img/zoom_close"), actions->confirmQuit, this))}) {
        right->addSpacing(5);
        right->addWidget(label);
    }

    auto *bar = new QHBoxLayout(this);
    bar->addLayout(left, 1);
    bar->addLayout(right, 2);
}

void TopBar::setMaximized(bool maximized)
{
    m_zoomLabel->setPixmap(QPixmap(maximized ? kZoomedIn : kZoomIn));
}
