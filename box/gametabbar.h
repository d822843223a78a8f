#pragma once
#include <QTabBar>

// The main window's tab bar. Tabs without a close button (the fixed tabs)
// keep their full width; game tabs are at most kMaxTabWidth wide and give
// way down to kMinTabWidth (the title elided to a character or two, the full
// title in the tool tip) before the bar scrolls, so that a dozen games fit
// beside the fixed tabs at the window's minimum width and the fixed tabs
// stay in view.
class GameTabBar : public QTabBar
{
    Q_OBJECT

public:
    static constexpr int kMaxTabWidth = 180;
    static constexpr int kMinTabWidth = 52;

    explicit GameTabBar(QWidget *parent = nullptr);

protected:
    // A middle click on a game tab closes it, as its close button does.
    void mouseReleaseEvent(QMouseEvent *event) override;
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    bool isFixed(int index) const;
};
