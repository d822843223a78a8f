#pragma once
#include <QTabBar>

// A tab bar of the main window. Tabs without a close button (the fixed
// tabs) keep their full width; game tabs are at most kMaxTabWidth wide and
// give way, as the bar fills, down to the width that still shows the first
// two characters of their title (the full title is the tool tip) before the
// bar scrolls.
class GameTabBar : public QTabBar
{
    Q_OBJECT

public:
    static constexpr int kMaxTabWidth = 180;

    explicit GameTabBar(QWidget *parent = nullptr);

    // The title as the tab draws it now, elided, with "&&" for an "&".
    QString shownText(int index) const;
    // As tall as its tabs even while none of them is visible, so that what
    // sits beside the bar keeps its height.
    QSize sizeHint() const override;
    // Tabs at least this tall, to line up with another bar's.
    void setMinimumTabHeight(int height);

protected:
    // A middle click on a game tab closes it, as its close button does.
    void mouseReleaseEvent(QMouseEvent *event) override;
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    bool isFixed(int index) const;

    int m_minimumTabHeight = 0;
};
