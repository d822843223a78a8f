#include "sidetabwidget.h"
#include "widgets/sidetabbar.h"

SideTabWidget::SideTabWidget()
    : QTabWidget(nullptr)
{
    setTabBar(new SideTabBar);
    setTabPosition(QTabWidget::West);
}
