#pragma once
#include <QPoint>
#include <QWidget>

class FramelessMover;
class QHBoxLayout;
class QPushButton;

// The frame of the client's small dialogs: a frameless, translucent widget
// that paints a white body with a thin rounded border, a 33-pixel title bar
// with the title and a close button, and one content widget below. A dialog
// without a parent is a window of its own; one given a parent is drawn inside
// it. Dragging the title bar moves it (inside its parent, for a child).
// Subclasses set their size, build their content, call setTitle and then
// setupFrame once.
class FramelessDialog : public QWidget
{
    Q_OBJECT

public:
    explicit FramelessDialog(QWidget *parent = nullptr);
    ~FramelessDialog() override;

    // Also the window title. Shown in the title bar only when set before setupFrame.
    void setTitle(const QString &title);
    QString title() const { return m_title; }
    void setContentWidget(QWidget *content);
    // Builds the title bar and the layout around the content: content when
    // given, else the one set with setContentWidget.
    void setupFrame(QWidget *content);

public slots:
    void btn_close();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_titleBar = nullptr;
    QWidget *m_contentWidget = nullptr;
    QPoint m_pressPos;
    QPushButton *m_closeButton = nullptr;
    QString m_title;
    FramelessMover *m_mover = nullptr;
};

// A row holding the widget in its middle, for the dialogs' content layouts.
QHBoxLayout *centredRow(QWidget *widget);
