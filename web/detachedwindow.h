#pragma once
#include <QPointer>
#include <QUrl>
#include <QWidget>

class ClickableLabel;
class GamePage;
class QLabel;

// A game detached from its tab into a frameless window of its own: the
// tab's page itself moves here, still running, with its bridge. The title
// bar pins the window on top, opens the game's top-up page, reloads, asks
// to merge the game back into the main window, and minimises, maximises and
// closes. Closing asks first and frees the window with its game.
class DetachedWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kControlsWidth = 200; // the title bar's right end holds the controls

    // address: where the game is now, for its top-up page.
    DetachedWindow(GamePage *page, const QUrl &address, QWidget *parent = nullptr);
    ~DetachedWindow() override;

    GamePage *page() const;
    bool isPinned() const { return m_pinned; }
    // Its main window is gone: the game can no longer go back into it.
    void setStandalone();

signals:
    // "窗口合并": the owner takes the page back as a tab; this window then
    // goes without asking.
    void mergeRequested(GamePage *page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createTitleBar();
    ClickableLabel *addControl(const QString &image, const QString &name);
    void togglePinned();
    void toggleMaximized();
    void merge();

    QPointer<GamePage> m_page;
    QString m_title;
    QUrl m_payUrl;
    bool m_pinned = false;
    bool m_standalone = false;
    bool m_askBeforeClosing = true;
    QWidget *m_titleBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    ClickableLabel *m_pinLabel = nullptr;
    ClickableLabel *m_maxLabel = nullptr;
};
