#pragma once
#include <QObject>
#include <QPointer>

class AboutDialog;
class QAction;
class QMenu;
class QPushButton;
class QWidget;
class SettingsDialog;
class UpdateChecker;

// What the main window's two menus and its update check do: the settings and
// about dialogs (one of each, inside the window), the portal's pages in the
// system browser, the answer to "检查更新", the forced update at start, and
// the account switch.
class MainMenu : public QObject
{
    Q_OBJECT

public:
    // The menus go on the two buttons; their choices come to trigger().
    MainMenu(QWidget *window, UpdateChecker *updates, QPushButton *systemButton, QPushButton *accountButton);

    // An entry of either menu, by its text.
    void trigger(QAction *action);

signals:
    // A choice from either menu; the window hands it back to trigger().
    void menuTriggered(QAction *action);
    void switchAccountRequested();
    // The user agreed to a forced update: the client ends.
    void quitRequested();

private:
    QMenu *createMenu(const QList<QPair<QString, QString>> &entries);
    void showDialog(QWidget *dialog, QPoint at);
    void checkForUpdate();
    void onUpdateReply();

    QWidget *m_window;
    UpdateChecker *m_updates;
    QPointer<SettingsDialog> m_settingDialog;
    QPointer<AboutDialog> m_aboutDialog;
};
