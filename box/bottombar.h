#pragma once
#include <QWidget>

// The main window's bottom bar: the support hotline and "消息".
class BottomBar : public QWidget
{
    Q_OBJECT

public:
    explicit BottomBar(QWidget *parent = nullptr);

signals:
    void messagesClicked();
};
