#include "resources/VelkaroResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside a namespace.
static void initResourcesOutsideNamespace()
{
    Q_INIT_RESOURCE(velkaro);
}

namespace velkaro {

void initVelkaroResources()
{
    initResourcesOutsideNamespace();
}

} // namespace velkaro
