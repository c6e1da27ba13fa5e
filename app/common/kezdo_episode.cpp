#include "app/common/kezdo.h"

void kezdo::connectEpisodeHandlers() {}
