#include "tabwidget.h"
#include "box/gametabbar.h"
#include <QStyle>

TabWidget::TabWidget(QWidget *parent)
    : QTabWidget(parent)
{
    setTabBar(new GameTabBar(this));
    setTabsClosable(true);
    setElideMode(Qt::ElideRight);
}

int TabWidget::addFixedTab(QWidget *page, const QIcon &icon, const QString &title)
{
    const int index = addTab(page, icon, literalTabText(title));
    // The fixed tabs are the box; only game tabs can be closed. The side the
    // close button sits on depends on the style.
    QTabBar *bar = tabBar();
    const auto side = QTabBar::ButtonPosition(bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
    QWidget *closeButton = bar->tabButton(index, side);
    bar->setTabButton(index, side, nullptr);
    delete closeButton;
    return index;
}

int TabWidget::addPageTab(QWidget *page, const QString &title)
{
    const int index = addTab(page, literalTabText(title));
    setTabToolTip(index, title);
    return index;
}

QString TabWidget::literalTabText(QString title)
{
    return title.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
