#pragma once
#include "web/gamepage.h"
#include <QTabWidget>

class QWebEngineProfile;

// The main window's tabs, and their owner: it makes the game pages, closes
// them, takes them out (into a window of their own) and puts them back.
// The two fixed tabs ("Kavo首页" and "找游戏") come first, have no close
// button and can be neither closed nor taken out; game tabs follow. Titles
// come from pages and are shown as they are: an "&" is text, not a mnemonic.
class TabWidget : public QTabWidget
{
    Q_OBJECT

public:
    static constexpr int kSearchTab = 1;

    TabWidget(QWebEngineProfile *profile, QWidget *parent = nullptr);

    // The fixed tabs, once, in this order.
    void addFixedTabs(const QUrl &home, const QUrl &search);
    // A game tab, made current.
    GamePage *openGame(const QString &title, const QUrl &url);
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

signals:
    // A page was made here: its owner wires its requests, once.
    void pageAdded(GamePage *page);
    // Tabs went: their memory can be given back.
    void tabsClosed();

private:
    int addPageTab(GamePage *page);

    QWebEngineProfile *m_profile;
};
