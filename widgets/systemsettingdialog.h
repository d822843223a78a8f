#pragma once
#include "widgets/commondialog.h"

class CustomKeySequenceEdit;

// The client's settings: start with the system and automatic login, the boss
// key and the full-screen key, and a way back to the default keys. Every
// change is written at once; a recorded hotkey works at once (the settings
// notice tells the main window), restored defaults from the next start.
class SystemSettingDialog : public CommonDialog
{
    Q_OBJECT

public:
    explicit SystemSettingDialog(QWidget *mainWindow);

private:
    QWidget *createGeneralPage();
    QWidget *createHotkeyPage();
    void restoreDefaultKeys();

    QWidget *mainWindow = nullptr;
    CustomKeySequenceEdit *hideGameKeyEdit = nullptr;
    CustomKeySequenceEdit *zoomWindowEdit = nullptr;
};
