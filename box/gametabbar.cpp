#include "gametabbar.h"
#include <QMouseEvent>
#include <QProxyStyle>

namespace {
// The application's style with less room beside a tab's text, so that a
// tab at its minimum width still shows a character of its title.
class TabBarStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 2 : value;
    }
};
} // namespace

GameTabBar::GameTabBar(QWidget *parent)
    : QTabBar(parent)
{
    auto *style = new TabBarStyle;
    style->setParent(this);
    setStyle(style);
    setElideMode(Qt::ElideRight);
    setUsesScrollButtons(true);
}

void GameTabBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::MiddleButton) {
        QTabBar::mouseReleaseEvent(event);
        return;
    }
    const int index = tabAt(event->pos());
    if (index >= 0 && !isFixed(index))
        emit tabCloseRequested(index);
}

bool GameTabBar::isFixed(int index) const
{
    const auto side = ButtonPosition(style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, this));
    return !tabButton(index, side);
}

QSize GameTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (!isFixed(index))
        size.setWidth(qMin(size.width(), kMaxTabWidth));
    return size;
}

QSize GameTabBar::minimumTabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (!isFixed(index))
        size.setWidth(qMin(size.width(), kMinTabWidth));
    return size;
}
