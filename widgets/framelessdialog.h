#pragma once
#include <QWidget>

class QHBoxLayout;

// The frame of the client's small dialogs: a frameless, translucent widget
// that paints a white body with a thin rounded border, a 33-pixel title bar
// with the title and a close button, and one content widget below. A dialog
// without a parent is a window of its own; one given a parent is drawn inside
// it. Dragging the title bar moves it (inside its parent, for a child).
// Subclasses set their size, build their content and call setupFrame once.
class FramelessDialog : public QWidget
{
    Q_OBJECT

public:
    explicit FramelessDialog(QWidget *parent = nullptr);

    // The title bar (the title also names the window) and the layout around
    // content. Only the first call counts.
    void setupFrame(const QString &title, QWidget *content);
    QString title() const { return windowTitle(); }
    // Shown and raised, centred over `over`: its parent when null. A dialog
    // inside a window is centred in it; a window of its own over `over`'s frame.
    void showCentred(const QWidget *over = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_titleBar = nullptr;
};

// A row holding the widget in its middle, for the dialogs' content layouts.
QHBoxLayout *centredRow(QWidget *widget);
