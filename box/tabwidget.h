#pragma once
#include "web/gamepage.h"
#include <QTabWidget>

class GameTabBar;
class QWebEngineProfile;

// The main window's tabs, and their owner: it makes the game pages, closes
// them, takes them out (into a window of their own) and puts them back.
// The two fixed tabs ("Kavo首页" and "找游戏") come first, have no close
// button and can be neither closed nor taken out; game tabs follow. Titles
// come from pages and are shown as they are: an "&" is text, not a mnemonic.
//
// The fixed tabs stay in view however many games are open: they are shown
// by a small bar of their own, over room kept for it in the top left corner,
// and the tab widget's own bar, which scrolls with its buttons at its right
// end, shows only the game tabs. Both bars hold every tab, the other bar's
// tabs hidden (and without text), so that indices stay those of the tab
// widget and a bar whose tabs are not current shows none selected. The small bar is not the corner
// widget itself: the tab widget makes a corner widget shorter than its bar,
// and the fixed tabs would not line up with the games'.
class TabWidget : public QTabWidget
{
    Q_OBJECT

public:
    static constexpr int kSearchTab = 1;

    TabWidget(QWebEngineProfile *profile, QWidget *parent = nullptr);

    // The fixed tabs, once, in this order.
    void addFixedTabs(const QUrl &home, const QUrl &search);
    // A game tab, made current, in the given profile (the main one when null).
    GamePage *openGame(const QString &title, const QUrl &url, QWebEngineProfile *profile = nullptr);
    // Frees a game tab's page with its view; fixed tabs stay.
    bool closeTab(int index);
    // A game tab's page out of the tabs, alive; null for a fixed tab.
    GamePage *takeOut(GamePage *page);
    // A page taken out comes back as the current tab, still wired.
    void putBack(GamePage *page);
    // The tab after (before) the current one becomes current; the last and
    // the first follow each other.
    void selectNextTab();
    void selectPreviousTab();

    GamePage *page(int index) const;
    GamePage *currentPage() const;
    QList<GamePage *> pages() const;

    // The text a tab must be given to show title literally.
    static QString literalTabText(QString title);

    // The bar of the game tabs is tabBar(); this one shows the fixed tabs.
    GameTabBar *fixedTabBar() const { return m_fixedBar; }

signals:
    // A page was made here: its owner wires its requests, once.
    void pageAdded(GamePage *page);
    // Tabs went: their memory can be given back.
    void tabsClosed();

protected:
    void tabInserted(int index) override;
    void tabRemoved(int index) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int addPageTab(GamePage *page);
    void showCurrentOnFixedBar();
    void placeFixedBar();

    QWebEngineProfile *m_profile;
    QWidget *m_fixedRoom;
    GameTabBar *m_fixedBar;
};
