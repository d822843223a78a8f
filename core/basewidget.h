#pragma once
#include <QWidget>

// Base of the client's own top-level windows: the application icon.
class BaseWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BaseWidget(QWidget *parent = nullptr);
};
