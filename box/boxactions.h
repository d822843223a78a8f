#pragma once
#include <QHash>
#include <QKeySequence>
#include <QObject>

class QAction;

// Every command of the main window, each made once here: the menus, the top
// and bottom bars' controls, the tray icon's menu and the keys trigger these
// actions, and the window answers each of them in one place.
class BoxActions : public QObject
{
    Q_OBJECT

public:
    explicit BoxActions(QObject *parent);

    // The system menu.
    QAction *settings;
    QAction *checkUpdate;
    QAction *website;
    QAction *faq;
    QAction *about;
    // The account menu.
    QAction *accountSecurity;
    QAction *switchAccount;
    // The window's own controls.
    QAction *minimize;
    QAction *toggleMaximized;
    QAction *confirmQuit; // the close icon and the window manager's close: asks first
    QAction *messages;
    // The tray icon's menu while the box hides behind it.
    QAction *restoreMaximized;
    QAction *restore;
    QAction *quit; // by name: no question
    // Keys heard in every window of the box (their keys come from the settings).
    QAction *bossKey;
    QAction *fullScreen;
    // The current tab, with keys of their own (those every tabbed
    // application answers); heard in the main window only.
    QAction *reload;
    QAction *closeTab;
    QAction *zoomIn;
    QAction *zoomOut;
    QAction *resetZoom;
    QAction *back;
    QAction *forward;
    QAction *nextTab;
    QAction *previousTab;

    QList<QAction *> tabActions() const;
    // The boss and full-screen keys from the settings. A chord the user gave
    // one of them is taken from the tab actions (F5 as the boss key leaves
    // "刷新" with Ctrl+R): two actions on one chord would both stay silent.
    void setHotkeys(const QKeySequence &bossChord, const QKeySequence &fullScreenChord);

private:
    QHash<QAction *, QList<QKeySequence>> m_ownKeys;
};
