#pragma once
#include <QTabWidget>

// A tab widget with its tabs down the left edge, labels reading horizontally.
class CustomTabWidget : public QTabWidget
{
public:
    CustomTabWidget();
};
