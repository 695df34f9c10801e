// The colours of the game's window, shared with the tour that finds
// marbles on the screen the way a player's eye does.
#pragma once

#include "marbles_game.h"

#include <windows.h>

namespace marbles {

constexpr COLORREF kFieldColour = RGB(22, 70, 52);
constexpr COLORREF kHudColour = RGB(12, 30, 40);
constexpr COLORREF kPalette[] = {RGB(230, 57, 70), RGB(255, 190, 11), RGB(58, 134, 255),
                                 RGB(131, 56, 236), RGB(6, 214, 160)};
static_assert(sizeof kPalette / sizeof kPalette[0] == kPaletteSize, "one colour per kind");

} // namespace marbles
