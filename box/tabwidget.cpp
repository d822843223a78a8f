#include "tabwidget.h"
#include "box/gametabbar.h"
#include "core/logging.h"
#include <QStyle>

TabWidget::TabWidget(QWebEngineProfile *profile, QWidget *parent)
    : QTabWidget(parent)
    , m_profile(profile)
{
    setTabBar(new GameTabBar(this));
    setTabsClosable(true);
    setElideMode(Qt::ElideRight);
    connect(this, &QTabWidget::tabCloseRequested, this, &TabWidget::closeTab);
}

void TabWidget::addFixedTabs(const QUrl &home, const QUrl &search)
{
    const struct {
        QUrl url;
        QString title;
        GamePage::Kind kind;
        const char *icon;
    } fixed[] = {{home, tr("Kavo首页"), GamePage::Kind::Home, "://img/gamepad"},
                 {search, tr("找游戏"), GamePage::Kind::Search, "://img/search_1"}};
    for (const auto &tab : fixed) {
        auto *page = new GamePage(tab.url, tab.title, tab.kind, m_profile, this);
        page->setContentsMargins(0, 0, 0, 0);
        const int index = addTab(page, QIcon(QLatin1String(tab.icon)), literalTabText(tab.title));
        // The fixed tabs are the box; only game tabs can be closed. The side
        // the close button sits on depends on the style.
        QTabBar *bar = tabBar();
        const auto side = QTabBar::ButtonPosition(bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
        QWidget *closeButton = bar->tabButton(index, side);
        bar->setTabButton(index, side, nullptr);
        delete closeButton;
        emit pageAdded(page);
    }
}

GamePage *TabWidget::openGame(const QString &title, const QUrl &url)
{
    qCDebug(lcCore) << "QDebug" << "新增tab";
    auto *page = new GamePage(url, title, GamePage::Kind::Game, m_profile, this);
    emit pageAdded(page);
    setCurrentIndex(addPageTab(page));
    return page;
}

int TabWidget::addPageTab(GamePage *page)
{
    const int index = addTab(page, literalTabText(page->title()));
    setTabToolTip(index, page->title());
    qCDebug(lcCore) << "QDebug-m-index:" << index;
    return index;
}

bool TabWidget::closeTab(int index)
{
    GamePage *closing = page(index);
    if (!closing)
        return false;
    if (closing->isFixed()) {
        qCWarning(lcCore) << "tab" << index << "is a fixed tab and stays open";
        return false;
    }
    removeTab(index);
    // Later, not now: the request may come from inside the page being closed.
    // Its view, renderer and bridge all go with it.
    closing->deleteLater();
    emit tabsClosed();
    return true;
}

GamePage *TabWidget::takeOut(GamePage *page)
{
    const int index = indexOf(page);
    qCDebug(lcCore) << "移除的索引：" << index;
    if (index < 0 || page->isFixed()) {
        qCWarning(lcCore) << "only a game tab can go into a window of its own; tab" << index << "stays";
        return nullptr;
    }
    removeTab(index);
    return page;
}

void TabWidget::putBack(GamePage *page)
{
    // Still wired from when it was made here.
    setCurrentIndex(addPageTab(page));
}

void TabWidget::selectNextTab()
{
    if (count() > 0)
        setCurrentIndex((currentIndex() + 1) % count());
}

void TabWidget::selectPreviousTab()
{
    if (count() > 0)
        setCurrentIndex((currentIndex() + count() - 1) % count());
}

GamePage *TabWidget::page(int index) const
{
    return qobject_cast<GamePage *>(widget(index));
}

GamePage *TabWidget::currentPage() const
{
    return page(currentIndex());
}

QList<GamePage *> TabWidget::pages() const
{
    QList<GamePage *> all;
    for (int i = 0; i < count(); ++i)
        all.append(page(i));
    return all;
}

QString TabWidget::literalTabText(QString title)
{
    return title.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
