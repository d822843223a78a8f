#include "updatechecker.h"
#include "core/logging.h"
#include "core/endpoints.h"
#include "core/portalapi.h"

UpdateChecker::UpdateChecker(PortalApi *api, QObject *parent)
    : QObject(parent)
    , m_api(api)
{
}

void UpdateChecker::check()
{
    m_api->get(Endpoints::url(Endpoints::Address::Update), this, [this](const PortalReply &reply) {
        if (!reply.ok)
            return; // the failure is logged; the stored answer stays
        const Parsed<UpdateInfo> parsed = parseUpdateReply(reply.body);
        if (!parsed.ok()) {
            qCWarning(lcCore).noquote() << "update check: unusable reply," << parsed.error;
            return;
        }
        m_info = parsed.value;
        qCDebug(lcCore) << "version_code" << m_info.versionCode << "force" << m_info.force;
        emit replied();
    });
}
