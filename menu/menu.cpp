#include "menu/menu.h"

#include "game/state.h"

void MenuFrame() { matchFramePeriod = (5 - gameSpeed) * 10; }
