#include "screens/text.h"

#include "settings/settings.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr COLORREF kSeparatorColour = RGB(25, 25, 25);

// A font made for one call, selected into dc while it lives.
class SelectedFont {
  public:
    SelectedFont(HDC target, int32_t points) : dc(target), font(CreateTextFont(points)) {
        if (font != nullptr) {
            previous = SelectObject(dc, font);
        }
    }
    ~SelectedFont() {
        if (font != nullptr) {
            SelectObject(dc, previous);
            DeleteObject(font);
        }
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

  private:
    HDC dc;
    HFONT font;
    HGDIOBJ previous = nullptr;
};

} // namespace

HFONT CreateTextFont(int32_t points) {
    // The weight asks for normal; the boldness comes from the face.
    return CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0,
                       "Arial Bold");
}

TextExtent MeasureText(HDC dc, const char* text, int32_t count, int32_t points) {
    SelectedFont font(dc, points);
    DWORD extent = GetTabbedTextExtentA(dc, text, count, 0, nullptr);
    return TextExtent{LOWORD(extent), HIWORD(extent)};
}

void DrawTextAt(HDC dc, int32_t x, int32_t y, const char* text, int32_t count, int32_t points,
                COLORREF colour) {
    COLORREF previousColour = SetTextColor(dc, colour);
    {
        SelectedFont font(dc, points);
        TextOutA(dc, x, y, text, count);
    }
    SetTextColor(dc, previousColour);
}

CStr ReplaceFirst(const char* text, const char* key, const char* value) {
    const char* found = std::strstr(text, key);
    if (found == nullptr) {
        return CStr(text);
    }
    CStr result(text, static_cast<uint32_t>(found - text));
    result.Append(value);
    result.Append(found + std::strlen(key));
    return result;
}

CStr ExpandPlaceholders(const ScreenController& controller, const char* text) {
    char seconds[64];
    std::snprintf(seconds, sizeof(seconds), "%.f", static_cast<double>(controller.closeCountdown));
    CStr timed = ReplaceFirst(text, "[TIME_TO_CLOSE]", seconds);
    return ReplaceFirst(timed.GetText(), "[GAME_TITLE]", GetApplicationName());
}

int32_t DrawWrappedText(const ScreenController& controller, const char* text, int32_t points,
                        HDC dc, int32_t x, int32_t y, int32_t maxWidth, COLORREF colour) {
    CStr expanded = ExpandPlaceholders(controller, text);
    SetBkMode(dc, TRANSPARENT);
    return WrapLines(
        expanded.GetText(), static_cast<int32_t>(expanded.GetLength()), maxWidth,
        [&](const char* piece, int32_t count) { return MeasureText(dc, piece, count, points); },
        [&](const char* line, int32_t count, int32_t top) {
            DrawTextAt(dc, x, y + top, line, count, points, colour);
        });
}

int32_t DrawSeparator(HDC dc, int32_t x, int32_t y, int32_t width) {
    HBRUSH brush = CreateSolidBrush(kSeparatorColour);
    HGDIOBJ previous = SelectObject(dc, brush);
    Rectangle(dc, x, y + 4, x + width, y + 5);
    SelectObject(dc, previous);
    DeleteObject(brush);
    return 9;
}

int32_t DrawTitleBlock(const ScreenController& controller, HDC dc, int32_t x, int32_t y,
                       int32_t width) {
    int32_t height = DrawWrappedText(controller, GetApplicationName(), 14, dc, x, y, width,
                                     GetFontColorAppName());
    return height + DrawSeparator(dc, x, y + height, width);
}
