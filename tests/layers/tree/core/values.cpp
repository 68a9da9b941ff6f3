#include "values.h"
#include <QString>
#include <QtCore/QList>
#include "shared/common.h"
