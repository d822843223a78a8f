#pragma once
#include <QPointer>
#include <QWidget>

class QAction;
class QHBoxLayout;

// The frame of the client's small dialogs: a frameless, translucent widget
// that paints a white body with a thin rounded border, a 33-pixel title bar
// with the title and a close button, and one content widget below. A dialog
// without a parent is a window of its own; one given a parent is drawn inside
// it. Dragging the title bar moves it (inside its parent, for a child).
// Shown, it takes the keyboard (a dialog inside a window gives it back to
// what had it when it goes); Esc closes it as the close button does, from
// a page inside it too.
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
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QAction *m_closeAction = nullptr;
    QWidget *m_titleBar = nullptr;
    QPointer<QWidget> m_focusBefore;
};

// A row holding the widget in its middle, for the dialogs' content layouts.
QHBoxLayout *centredRow(QWidget *widget);
