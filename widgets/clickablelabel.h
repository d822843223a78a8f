#pragma once
#include <QLabel>

// A label that acts as a button: a picture or a link-like text that the
// left mouse button presses. Named for screen readers by its tool tip.
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClickableLabel(QWidget *parent = nullptr);
    // A picture control: the image, and the name a tool tip and screen
    // readers give it.
    ClickableLabel(const QString &image, const QString &name, QWidget *parent = nullptr);

    void setName(const QString &name);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
