#include "app/common/kezdo.h"

void kezdo::connectItemHandlers() {}
