#pragma once
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

class QWidget;

// What a user's desktop adds to bare Xvfb, on the test's display: a window
// manager (openbox) and a tray host (trayer, a small panel at the top right).
// Faults in minimising, restoring and the tray show only with both. Also
// drives the display from outside with xdotool, as a user's mouse and
// keyboard would.
class DesktopSession
{
public:
    ~DesktopSession();
    // Starts both and waits until they are up; false (with why()) otherwise.
    bool start();
    void stop();
    QString why() const { return m_why; }

    // Runs xdotool with these arguments; its standard output, trimmed.
    static QString xdotool(const QStringList &arguments, bool *ok = nullptr);
    // The on-screen rectangle of the tray icon a process shows, if any.
    static QRect trayIconOf(qint64 pid);
    // A close as the window manager asks for it (its close button, Alt+F4),
    // not as the program asks itself.
    static void closeAsTheDesktopDoes(QWidget *window);

private:
    QProcess m_windowManager;
    QProcess m_trayHost;
    QTemporaryDir m_dir;
    QString m_why;
};
