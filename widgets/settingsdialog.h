#pragma once
#include "core/settingskeys.h"
#include "widgets/framelessdialog.h"

class Config;
class HotkeyEdit;
class QLabel;

// The client's settings: start with the system and automatic login, the boss
// key and the full-screen key, and a way back to the default keys. Every
// change is written at once and works at once (the settings announce it to
// the window). A chord that is no hotkey, or that the other key already
// has, is refused with a red line: the previous one stays, nothing is written.
class SettingsDialog : public FramelessDialog
{
    Q_OBJECT

public:
    SettingsDialog(Config *config, QWidget *parent);

private:
    QWidget *createGeneralPage();
    QWidget *createHotkeyPage();
    void recordHotkey(HotkeyEdit *edit, const Settings::Key &key, const QKeySequence &chord, const QKeySequence &before);
    void restoreDefaultKeys();

    Config *m_config;
    HotkeyEdit *m_bossKeyEdit = nullptr;
    HotkeyEdit *m_fullScreenKeyEdit = nullptr;
    QLabel *m_refusal = nullptr;
};
