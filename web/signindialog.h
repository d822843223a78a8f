#pragma once
#include "widgets/framelessdialog.h"

class QWebEngineProfile;

// The portal's daily sign-in page in a frameless window of its own. Its page
// gets the bridge, and nothing it sends changes the client. Freed when closed.
class SignInDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit SignInDialog(QWebEngineProfile *profile);
};
