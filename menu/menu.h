// The main menu.
#pragma once

// One menu frame: draws the menu, presents it and acts on the mouse.
void MenuFrame();
