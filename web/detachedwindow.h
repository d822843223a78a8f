#pragma once
#include <QPointer>
#include <QWidget>

class FramelessMover;
class GamePage;
class QLabel;

// A game detached from its tab into a frameless window of its own: the
// tab's page itself moves here, still running, with its bridge. The title
// bar pins the window on top, opens the game's top-up page, reloads, merges
// the game back into the main window, and minimises, maximises and closes.
// Closing asks first and frees the window with its game.
class DetachedWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kControlsWidth = 200; // the title bar's right end holds the controls

    DetachedWindow(GamePage *page, const QString &title, const QString &url, QWidget *mainWindow,
                 QWidget *parent = nullptr);
    ~DetachedWindow() override;

    GamePage *page() const;
    bool isPinned() const { return pinned; }

signals:
    // "窗口合并": the main window takes the page back as a tab, then this
    // window goes.
    void mergeRequested(GamePage *page, const QString &title);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLabel *titleButton(const QString &image, const QString &name);
    void togglePinned();
    void toggleMaximized();
    void merge();

    QString pageUrl;
    QString pageTitle;
    QPointer<QWidget> mainWindow;
    QPointer<GamePage> m_page;
    QString payUrl;
    bool pinned = false;
    bool m_askBeforeClosing = true;
    QLabel *titleLabel = nullptr;
    QLabel *payLabel = nullptr;
    QLabel *pinLabel = nullptr;
    QLabel *reloadLabel = nullptr;
    QLabel *mergeLabel = nullptr;
    QLabel *minLabel = nullptr;
    QLabel *maxLabel = nullptr;
    QLabel *closeLabel = nullptr;
    FramelessMover *m_mover = nullptr;
};
