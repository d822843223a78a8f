#include "tabwidget.h"
#include "box/gametabbar.h"
#include "core/logging.h"
#include <QEvent>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QStyle>

TabWidget::TabWidget(QWebEngineProfile *profile, QWidget *parent)
    : QTabWidget(parent)
    , m_profile(profile)
    , m_fixedRoom(new QWidget(this))
    , m_fixedBar(new GameTabBar(this))
{
    setTabBar(new GameTabBar(this));
    setTabsClosable(true);
    setElideMode(Qt::ElideRight);
    connect(this, &QTabWidget::tabCloseRequested, this, &TabWidget::closeTab);

    // Two tabs never scroll; the tab widget draws the line under both bars.
    m_fixedBar->setUsesScrollButtons(false);
    m_fixedBar->setDrawBase(false);
    m_fixedBar->setExpanding(false);
    (new QHBoxLayout(m_fixedRoom))->setContentsMargins(0, 0, 0, 0);
    setCornerWidget(m_fixedRoom, Qt::TopLeftCorner);
    tabBar()->installEventFilter(this);
    m_fixedRoom->installEventFilter(this);
    connect(m_fixedBar, &QTabBar::currentChanged, this, &QTabWidget::setCurrentIndex);
    connect(this, &QTabWidget::currentChanged, this, &TabWidget::showCurrentOnFixedBar);
}

bool TabWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        placeFixedBar();
    return QTabWidget::eventFilter(watched, event);
}

void TabWidget::placeFixedBar()
{
    m_fixedBar->setMinimumTabHeight(tabBar()->height());
    m_fixedBar->setGeometry(m_fixedRoom->x(), tabBar()->y(), m_fixedRoom->width(), tabBar()->height());
    m_fixedBar->raise();
}

void TabWidget::tabInserted(int index)
{
    QTabWidget::tabInserted(index);
    const QSignalBlocker quiet(m_fixedBar);
    m_fixedBar->insertTab(index, QString());
    m_fixedBar->setTabVisible(index, false); // a game's, until addFixedTabs says otherwise
    showCurrentOnFixedBar();
}

void TabWidget::tabRemoved(int index)
{
    QTabWidget::tabRemoved(index);
    const QSignalBlocker quiet(m_fixedBar);
    m_fixedBar->removeTab(index);
    showCurrentOnFixedBar();
}

void TabWidget::showCurrentOnFixedBar()
{
    // Mid-change the two bars differ by a tab; the change's end calls again.
    if (m_fixedBar->count() != count())
        return;
    const QSignalBlocker quiet(m_fixedBar);
    m_fixedBar->setCurrentIndex(currentIndex());
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
        // Shown by the fixed bar only. Qt 5.15 draws a bar's current tab even
        // while it is hidden: in the games' bar it has nothing to draw.
        const int index = addTab(page, QString());
        m_fixedBar->setTabText(index, literalTabText(tab.title));
        m_fixedBar->setTabIcon(index, QIcon(QLatin1String(tab.icon)));
        m_fixedBar->setTabVisible(index, true);
        // The fixed tabs are the box; only game tabs can be closed. The side
        // the close button sits on depends on the style.
        QTabBar *bar = tabBar();
        const auto side = QTabBar::ButtonPosition(bar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, bar));
        QWidget *closeButton = bar->tabButton(index, side);
        bar->setTabButton(index, side, nullptr);
        delete closeButton;
        bar->setTabVisible(index, false);
        emit pageAdded(page);
    }
    m_fixedRoom->layout()->addItem(new QSpacerItem(m_fixedBar->sizeHint().width(), 0));
    m_fixedRoom->updateGeometry();
}

GamePage *TabWidget::openGame(const QString &title, const QUrl &url, QWebEngineProfile *profile)
{
    qCDebug(lcCore) << "QDebug" << "新增tab";
    auto *page = new GamePage(url, title, GamePage::Kind::Game, profile ? profile : m_profile, this);
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
