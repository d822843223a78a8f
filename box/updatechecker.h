#pragma once
#include "core/replyparsers.h"
#include <QObject>

class PortalApi;

// Asks the portal once whether a newer client exists and keeps the answer:
// the version code of the last good reply (0 until one arrives, which counts
// as "up to date") and the reply itself.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    UpdateChecker(PortalApi *api, QObject *parent = nullptr);

    void check();
    int versionCode() const { return m_info.versionCode; }
    const UpdateInfo &lastReply() const { return m_info; }

signals:
    // A usable reply has come; lastReply() holds it.
    void replied();

private:
    PortalApi *m_api;
    UpdateInfo m_info;
};
