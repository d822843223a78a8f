#include "autostart.h"
#include <QCoreApplication>
#include <QDir>
#include <QSettings>

void SetAutoStart(bool enable)
{
    QSettings user(QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                   QSettings::NativeFormat);
    QSettings machine(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
                      QSettings::NativeFormat);
    const QString name = QCoreApplication::applicationName();
    const QString command = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());

    for (QSettings *run : {&user, &machine}) {
        if (enable) {
            if (run->value(name).toString() != command)
                run->setValue(name, command);
        } else {
            run->remove(name);
        }
    }
}
