#include "core/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must stand outside any namespace.
static void initQuillonResources() { Q_INIT_RESOURCE(quillon); }

namespace Resources {
void load()
{
    static const bool loaded = (initQuillonResources(), true);
    Q_UNUSED(loaded);
}
}
