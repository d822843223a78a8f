#pragma once
#include "widgets/framelessdialog.h"

class GameServerChooser;
class PrimaryButton;
class PortalApi;
class QLabel;
class QLineEdit;
struct PortalReply;

// Adds an alt account: its user name and password are checked against the
// portal's login API, and the account is stored with the check code the
// portal returns, for a chosen game and server. The password is never
// stored, nor logged.
class AltAccountDialog : public FramelessDialog
{
    Q_OBJECT

public:
    AltAccountDialog(PortalApi *api, QWidget *parent);

signals:
    void saved();

private:
    void verify();
    void verified(const PortalReply &reply, const QString &username);
    void showError(const QString &text);

    PortalApi *m_api;
    QLineEdit *m_accountEdit = nullptr;
    QLineEdit *m_passwordEdit = nullptr;
    GameServerChooser *m_chooser = nullptr;
    PrimaryButton *m_confirmButton = nullptr;
    QLabel *m_errorLabel = nullptr;
};
