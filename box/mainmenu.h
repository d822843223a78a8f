#pragma once
#include <QObject>
#include <QPointer>

class AboutDialog;
class BoxActions;
class Config;
class QPushButton;
class QWidget;
class SettingsDialog;
class UpdateChecker;

// The main window's two menus, on the top bar's buttons, and what their
// entries open: the settings and about dialogs (one of each, inside the
// window), the answer to "检查更新" and the forced update at start.
class MainMenu : public QObject
{
    Q_OBJECT

public:
    MainMenu(QWidget *window, Config *config, UpdateChecker *updates, BoxActions *actions);

    void attachTo(QPushButton *systemButton, QPushButton *accountButton);
    void showSettings();
    void showAbout();
    // Answered from the reply the window got when it opened; no new request.
    void answerUpdateCheck();

signals:
    // The user agreed to a forced update: the client ends.
    void quitRequested();

private:
    void onUpdateReply();

    QWidget *m_window;
    Config *m_config;
    UpdateChecker *m_updates;
    BoxActions *m_actions;
    QPointer<SettingsDialog> m_settingsDialog;
    QPointer<AboutDialog> m_aboutDialog;
};
