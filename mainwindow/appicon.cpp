#include "appicon.h"

// The resources live in a static library: register them before first use.
static void initResources() { Q_INIT_RESOURCE(zandor); }

QIcon ZandorIcon()
{
    initResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/zandor/icons/zandor-%1.png").arg(size), QSize(size, size));
    return icon;
}
