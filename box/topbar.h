#pragma once
#include <QWidget>

class BoxActions;
class ClickableLabel;
class QPushButton;

// The main window's white top bar: logo, the user's name with the account
// menu button, the system menu button and the minimise, maximise and close
// icons, which trigger the window's actions.
class TopBar : public QWidget
{
    Q_OBJECT

public:
    TopBar(const QString &userName, BoxActions *actions, QWidget *parent);

    QPushButton *accountButton() const { return m_accountButton; }
    QPushButton *menuButton() const { return m_menuButton; }
    // The zoom icon: "restore" while the window is maximised.
    void setMaximized(bool maximized);

private:
    QPushButton *m_accountButton = nullptr;
    QPushButton *m_menuButton = nullptr;
    ClickableLabel *m_zoomLabel = nullptr;
};
