#pragma once
#include <QTabBar>

// Tabs down the left edge whose labels still read horizontally: each tab is
// as wide as its label and as high as a horizontal tab.
class SideTabBar : public QTabBar
{
public:
    SideTabBar();

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent *event) override;
};
