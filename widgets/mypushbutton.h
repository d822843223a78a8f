#pragma once
#include <QPushButton>

// The blue action button of the client's dialogs.
class MyPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyPushButton(QWidget *parent = nullptr);
};
