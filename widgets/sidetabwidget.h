#pragma once
#include <QTabWidget>

// A tab widget with its tabs down the left edge, labels reading horizontally.
class SideTabWidget : public QTabWidget
{
public:
    SideTabWidget();
};
