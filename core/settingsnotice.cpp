#include "settingsnotice.h"

namespace {
SettingsNotice *s_instance = nullptr;
}

SettingsNotice::SettingsNotice(QObject *parent)
    : QObject(parent)
{
    s_instance = this;
}

SettingsNotice::~SettingsNotice()
{
    if (s_instance == this)
        s_instance = nullptr;
}

SettingsNotice *SettingsNotice::instance()
{
    return s_instance;
}

void SettingsNotice::announce(const QString &group, const QString &key)
{
    emit changed(group, key);
}
