// The main menu.
#pragma once

// One menu frame: draws the menu, presents it and acts on the mouse.
void MenuFrame();

// "Play!" without the mouse (a pad's Start button): the match starts at the speed shown.
void PlayFromMenu();
