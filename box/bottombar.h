#pragma once
#include <QWidget>

class QAction;

// The main window's bottom bar: the support hotline and "消息".
class BottomBar : public QWidget
{
    Q_OBJECT

public:
    BottomBar(QAction *messages, QWidget *parent);
};
