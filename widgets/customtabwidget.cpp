#include "customtabwidget.h"
#include "widgets/customtabbar.h"

CustomTabWidget::CustomTabWidget()
    : QTabWidget(nullptr)
{
    setTabBar(new CustomTabBar);
    setTabPosition(QTabWidget::West);
}
