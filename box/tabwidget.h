#pragma once
#include <QTabWidget>

// The main window's tabs: the fixed tabs first, without a close button, then
// the game tabs. Titles come from pages and are shown as they are: an "&"
// in them is text, not a keyboard mnemonic.
class TabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabWidget(QWidget *parent = nullptr);

    int addFixedTab(QWidget *page, const QIcon &icon, const QString &title);
    // Closable; the full title is also the tab's tool tip, since a crowded
    // bar elides it.
    int addPageTab(QWidget *page, const QString &title);

    // The text a tab must be given to show title literally.
    static QString literalTabText(QString title);
};
