#pragma once
#include "widgets/framelessdialog.h"

class Config;
class HotkeyEdit;

// The client's settings: start with the system and automatic login, the boss
// key and the full-screen key, and a way back to the default keys. Every
// change is written at once; a recorded hotkey works at once (the settings
// announce it to the window), restored defaults from the next start.
class SettingsDialog : public FramelessDialog
{
    Q_OBJECT

public:
    SettingsDialog(Config *config, QWidget *parent);

private:
    QWidget *createGeneralPage();
    QWidget *createHotkeyPage();
    void restoreDefaultKeys();

    Config *m_config;
    HotkeyEdit *m_bossKeyEdit = nullptr;
    HotkeyEdit *m_fullScreenKeyEdit = nullptr;
};
