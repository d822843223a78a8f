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
    AltAccountDialog(PortalApi *api, QWidget *parent = nullptr);

signals:
    void saved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void verify();
    void verified(const PortalReply &reply, const QString &username);
    void showError(const QString &text);

    PortalApi *m_api;
    QLineEdit *accountEdit = nullptr;
    QLineEdit *passwordEdit = nullptr;
    GameServerChooser *m_chooser = nullptr;
    PrimaryButton *confirmButton = nullptr;
    QLabel *errorLabel = nullptr;
    QLabel *registerLabel = nullptr;
};
