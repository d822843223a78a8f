#include "topbar.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {
const QString kMenuButtonStyle = QStringLiteral(
    "QPushButton::menu-indicator{image:none;}QPushButton{border-style: none;}"
    "QPushButton:hover{background-color:lightgray; color: white;}"
    "QPushButton:pressed{background-color:lightgray; border-style: inset;}");
// White on the white bar: the hotkey buttons are there only for their shortcuts.
const QString kHotkeyButtonStyle = QStringLiteral(
    "QPushButton { background: rgb(255, 255, 255); color: rgb(255, 255, 255); text-align: left; "
    "font-size: 12pt; border: none;}");
const QString kZoomIn = QStringLiteral("://img/zoom_in");
const QString kZoomedIn = QStringLiteral("://img/zoom_in_1");

// The window controls are labels: named for screen readers.
QLabel *controlLabel(const QString &image, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(QPixmap(image));
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(name);
    label->setAccessibleName(name);
    return label;
}

QPushButton *styledMenuButton(const QString &icon, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(QIcon(icon), QString(), parent);
    button->setStyleSheet(kMenuButtonStyle);
    button->setCursor(Qt::PointingHandCursor);
    button->setAccessibleName(name);
    return button;
}

QPushButton *hotkeyButton(const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setFixedSize(1, 1);
    button->setStyleSheet(kHotkeyButtonStyle);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    return button;
}
} // namespace

TopBar::TopBar(const QString &userName, QWidget *parent)
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
    m_bossKeyButton = hotkeyButton(tr("老板键"), this);
    m_fullScreenKeyButton = hotkeyButton(tr("全屏"), this);
    m_menuButton = styledMenuButton(QStringLiteral("://img/select_16"), tr("系统菜单"), this);
    m_menuButton->setFixedSize(16, 16);

    m_minLabel = controlLabel(QStringLiteral("://img/zoom_out"), tr("最小化"), this);
    m_zoomLabel = controlLabel(kZoomIn, tr("最大化"), this);
    m_closeLabel = controlLabel(QStringLiteral("://img/zoom_close"), tr("关闭"), this);
    for (QLabel *label : {m_minLabel, m_zoomLabel, m_closeLabel})
        label->installEventFilter(this);

    auto *left = new QHBoxLayout;
    left->addWidget(logo);
    left->addWidget(accountIcon);
    left->addWidget(name);
    left->addWidget(m_accountButton);
    left->addWidget(m_bossKeyButton);
    left->addWidget(m_fullScreenKeyButton);
    left->addStretch();

    auto *right = new QHBoxLayout;
    right->addStretch();
    right->addWidget(m_menuButton);
    for (QLabel *label : {m_minLabel, m_zoomLabel, m_closeLabel}) {
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

bool TopBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_minLabel)
            emit minimizeClicked();
        else if (watched == m_zoomLabel)
            emit zoomClicked();
        else if (watched == m_closeLabel)
            emit closeClicked();
    }
    return QWidget::eventFilter(watched, event);
}
