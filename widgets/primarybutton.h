#pragma once
#include <QPushButton>

// The blue action button of the client's dialogs.
class PrimaryButton : public QPushButton
{
    Q_OBJECT

public:
    explicit PrimaryButton(QWidget *parent = nullptr);
};
