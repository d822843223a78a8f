#include "gametabbar.h"
#include <QMouseEvent>
#include <QProxyStyle>
#include <QStyleOptionTab>

namespace {
// The application's style with less room beside a tab's text, so that a
// shrunk tab gives its room to the title.
class TabBarStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 2 : value;
    }
};

// The first two characters of a tab's text (where "&&" stands for "&"),
// still escaped, and whether that is all of it.
QString firstTwoCharacters(const QString &tabText, bool *whole)
{
    QString kept;
    int characters = 0;
    int i = 0;
    for (; i < tabText.size() && characters < 2; ++characters) {
        const int length = tabText.at(i) == QLatin1Char('&') || tabText.at(i).isHighSurrogate() ? 2 : 1;
        kept += tabText.mid(i, length);
        i += length;
    }
    *whole = i >= tabText.size();
    return kept;
}
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

QString GameTabBar::shownText(int index) const
{
    QStyleOptionTab option;
    initStyleOption(&option, index);
    return option.text;
}

QSize GameTabBar::sizeHint() const
{
    QSize size = QTabBar::sizeHint();
    if (count() > 0)
        size.setHeight(qMax(size.height(), tabSizeHint(0).height()));
    return size;
}

void GameTabBar::setMinimumTabHeight(int height)
{
    if (height == m_minimumTabHeight)
        return;
    m_minimumTabHeight = height;
    setElideMode(elideMode()); // lays the tabs out again: QTabBar has no call of its own for it
}

QSize GameTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (!isFixed(index))
        size.setWidth(qMin(size.width(), kMaxTabWidth));
    size.setHeight(qMax(size.height(), m_minimumTabHeight));
    return size;
}

QSize GameTabBar::minimumTabSizeHint(int index) const
{
    const QSize full = tabSizeHint(index);
    bool whole = false;
    const QString kept = firstTwoCharacters(tabText(index), &whole);
    if (isFixed(index) || whole)
        return full;
    // What the tab needs beside its text, measured by the style on a wide
    // tab, plus the two characters and the ellipsis that elision leaves.
    QStyleOptionTab option;
    initStyleOption(&option, index);
    option.rect = QRect(QPoint(), QSize(1000, full.height()));
    const int besideText = option.rect.width() - style()->subElementRect(QStyle::SE_TabBarTabText, &option, this).width();
    const int text = fontMetrics().size(Qt::TextShowMnemonic, kept + QChar(0x2026)).width() + 1;
    return QSize(qMin(full.width(), besideText + text), full.height());
}
