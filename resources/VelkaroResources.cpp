#include "resources/VelkaroResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside a namespace.
static void initResourcesOutsideNamespace()
{
    Q_INIT_RESOURCE(velkaro);
}

static void initNodeImagesOutsideNamespace()
{
    Q_INIT_RESOURCE(node_images);
}

namespace velkaro {

void initVelkaroResources()
{
    initResourcesOutsideNamespace();
}

void initNodeImageResources()
{
    static const bool registered = [] {
        initNodeImagesOutsideNamespace();
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace velkaro
