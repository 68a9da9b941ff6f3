#pragma once
#include "detail/units.h"
#include <vector>
