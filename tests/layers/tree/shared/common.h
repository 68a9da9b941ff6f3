#pragma once
#include "core/values.h"
#include <QWidget>
