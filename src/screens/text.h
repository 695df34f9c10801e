// The screens' words over GDI: fonts, measuring, single lines, wrapped
// paragraphs with placeholders, the separator rule and the title block.
#pragma once

#include "engine/str.h"
#include "screens/line_wrap.h"
#include "screens/screen_controller.h"

#include <cstdint>
#include <windows.h>

// The skin's one face at a size in points, at 96 dots per inch whatever the
// device; null when no font can be made. The caller deletes it.
HFONT CreateTextFont(int32_t points);

// The extent of count characters; falls back to dc's current font.
TextExtent MeasureText(HDC dc, const char* text, int32_t count, int32_t points);

// count characters at (x, y); the background mode stays as the caller set it.
void DrawTextAt(HDC dc, int32_t x, int32_t y, const char* text, int32_t count, int32_t points,
                COLORREF colour);

// text with its first occurrence of key replaced by value.
CStr ReplaceFirst(const char* text, const char* key, const char* value);

// Fills in the first "[TIME_TO_CLOSE]" (closeCountdown in whole seconds,
// rounded) and then the first "[GAME_TITLE]" (the application name).
CStr ExpandPlaceholders(const ScreenController& controller, const char* text);

// Draws text, placeholders filled in, wrapped to maxWidth, on a transparent
// background; returns the height used (0 for an empty text).
int32_t DrawWrappedText(const ScreenController& controller, const char* text, int32_t points,
                        HDC dc, int32_t x, int32_t y, int32_t maxWidth, COLORREF colour);

// A one-pixel rule in the current pen at y + 4; returns the 9 rows it takes.
int32_t DrawSeparator(HDC dc, int32_t x, int32_t y, int32_t width);

// The application name at 14 points with the rule under it; returns the
// height used.
int32_t DrawTitleBlock(const ScreenController& controller, HDC dc, int32_t x, int32_t y,
                       int32_t width);
