// What the player meets: the game started at once with the wrapper hidden,
// and after it the post-game screen with its countdown and two buttons.
#pragma once

#include "screens/screen_controller.h"

extern const char* const kPostGameText;

bool InitScreens();
void GameRunningScreen(ScreenController& controller, ScreenMessage message);
void PostGameScreen(ScreenController& controller, ScreenMessage message);
