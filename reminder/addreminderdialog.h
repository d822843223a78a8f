#pragma once
#include "widgets/framelessdialog.h"

class GameServerChooser;
class PortalApi;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// Adds a reminder for a server's opening: the page's game, server and time
// are proposed, the games and servers come from the portal. "确定" waits for
// a game and a server, and saves the reminder unless three are saved
// already or its time has passed; the dialog then reports it and goes.
class AddReminderDialog : public FramelessDialog
{
    Q_OBJECT

public:
    // time in Unix seconds; out of what a reminder can hold, the nearest end;
    // none (0 or less), the next whole hour.
    AddReminderDialog(const QString &game, const QString &server, qint64 time, PortalApi *api, QWidget *host);

signals:
    void saved();

private:
    void confirm();
    void fail(const QString &why);
    void followChooser();

    GameServerChooser *m_chooser = nullptr;
    QDateEdit *m_date = nullptr;
    QTimeEdit *m_time = nullptr;
    QLineEdit *m_remark = nullptr;
    QCheckBox *m_sound = nullptr;
    QLabel *m_error = nullptr;
    QPushButton *m_confirm = nullptr;
};
