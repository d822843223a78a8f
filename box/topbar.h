#pragma once
#include <QWidget>

class QLabel;
class QPushButton;

// The main window's white top bar: logo, the user's name with the account
// menu button, the two hidden buttons that carry the hotkeys, the system
// menu button and the minimise, maximise and close icons.
class TopBar : public QWidget
{
    Q_OBJECT

public:
    explicit TopBar(const QString &userName, QWidget *parent = nullptr);

    QPushButton *accountButton() const { return m_accountButton; }
    QPushButton *menuButton() const { return m_menuButton; }
    QPushButton *bossKeyButton() const { return m_bossKeyButton; }
    QPushButton *fullScreenKeyButton() const { return m_fullScreenKeyButton; }
    // The zoom icon: "restore" while the window is maximised.
    void setMaximized(bool maximized);

signals:
    void minimizeClicked();
    void zoomClicked();
    void closeClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *m_accountButton = nullptr;
    QPushButton *m_menuButton = nullptr;
    QPushButton *m_bossKeyButton = nullptr;
    QPushButton *m_fullScreenKeyButton = nullptr;
    QLabel *m_minLabel = nullptr;
    QLabel *m_zoomLabel = nullptr;
    QLabel *m_closeLabel = nullptr;
};
