#include "resources.h"
#include <QtGlobal>

void initResources()
{
    Q_INIT_RESOURCE(img);
    Q_INIT_RESOURCE(i18n);
}
