#pragma once
#include "widgets/framelessdialog.h"

class HotkeyEdit;

// The client's settings: start with the system and automatic login, the boss
// key and the full-screen key, and a way back to the default keys. Every
// change is written at once; a recorded hotkey works at once (the settings
// notice tells the main window), restored defaults from the next start.
class SettingsDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *mainWindow);

private:
    QWidget *createGeneralPage();
    QWidget *createHotkeyPage();
    void restoreDefaultKeys();

    QWidget *mainWindow = nullptr;
    HotkeyEdit *hideGameKeyEdit = nullptr;
    HotkeyEdit *zoomWindowEdit = nullptr;
};
