#pragma once
#include <QObject>
#include <QPointer>

class BoxActions;
class TrayIcon;
class QWidget;

// The boss key: the box and its detached games go out of sight behind a tray
// icon, every page silenced (pages opened meanwhile too); once the box is
// back, the detached games come back as they were and every page sounds as
// its own "静音" says. What to silence, hide and show is the owner's: it
// hears it through the signals.
class BossKey : public QObject
{
    Q_OBJECT

public:
    // window: what hides; actions: the tray icon's menu.
    BossKey(QWidget *window, BoxActions *actions);

    bool isActive() const { return m_active; }
    // Behind a tray icon (not merely minimised for want of a tray).
    bool isInTray() const { return !m_tray.isNull(); }
    // Hides the box into the tray; without a tray it is only minimised, since
    // a hidden box with no icon to click could never come back.
    void hide();
    // The box is on screen again.
    void restore();

signals:
    void silenceRequested(bool silenced);
    void hideDetachedRequested(bool minimizeInstead);
    void showDetachedRequested();

private:
    QWidget *m_window;
    BoxActions *m_actions;
    QPointer<TrayIcon> m_tray;
    bool m_active = false;
};
