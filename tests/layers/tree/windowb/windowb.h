#pragma once
#include "windowa/windowa.h"
#include "shared/gone.h"
