#pragma once
#include <QKeySequence>
#include <QString>

// Every key of Config.ini that the client reads or writes, with its group.
// The odd spelling of "currectKeys" is what stored files already hold.
namespace Settings {

struct Key {
    const char *group;
    const char *name;
    QString groupName() const { return QLatin1String(group); }
    QString keyName() const { return QLatin1String(name); }
    bool is(const QString &g, const QString &k) const { return g == groupName() && k == keyName(); }
};

inline constexpr Key kAutoStart{"sys", "auto"};
inline constexpr Key kAutoLogin{"sys", "autoLogin"};
// The hotkeys in force, and the defaults "恢复初始设置" goes back to.
inline constexpr Key kBossKey{"currectKeys", "hideGameKey"};
inline constexpr Key kFullScreenKey{"currectKeys", "zoomWindow"};
inline constexpr Key kDefaultBossKey{"defaultKeys", "hideGameKey"};
inline constexpr Key kDefaultFullScreenKey{"defaultKeys", "zoomWindow"};

// Where the main window was left: its normal place as "x,y,width,height",
// and whether it was maximised.
inline constexpr Key kWindowPlace{"mainWindow", "geometry"};
inline constexpr Key kWindowMaximized{"mainWindow", "maximized"};

inline constexpr char kBossKeyDefault[] = "Alt+D";
inline constexpr char kFullScreenKeyDefault[] = "F11";

// A stored hotkey as a key sequence. Text that is not a key sequence gives
// an empty one, which never fires, and a warning that names the key.
QKeySequence hotkeyFromText(const QString &text, const QString &keyName);

} // namespace Settings
