// A small services module: an "Other Games" menu with a title, a grid of
// game tiles, a hover highlight and a "Back" button. The menu is drawn with
// GDI into a bitmap of the module's own; each frame copies only what changed
// into the wrapper's back buffer and reports those rectangles.
#include <tarvel_services.h>

#include <cstring>
#include <initializer_list>

namespace {

constexpr int kColumns = 3;
constexpr int kRows = 2;
constexpr int kTiles = kColumns * kRows;
constexpr int kBack = kTiles; // the item index of the Back button
constexpr int kNone = -1;
constexpr int kTileWidth = 180;
constexpr int kTileHeight = 110;
constexpr int kGap = 30;

const char* const kGameNames[kTiles] = {"Gem Garden", "Harbour Hop",  "Mystic Mahjong",
                                        "Pizza Rush", "Word Orchard", "Sky Marbles"};

struct Menu {
    bool inSession = false;
    bool complete = false;
    int width = 0;
    int height = 0;
    int hover = kNone;
    int drawnHover = kNone;
    bool drawnOnce = false;
    HBITMAP bitmap = nullptr;
    unsigned char* pixels = nullptr;
    int stride = 0;
    QoRect changed[2] = {};
    int changedCount = 0;
};
Menu menu;

void FreeBitmap() {
    if (menu.bitmap != nullptr) {
        DeleteObject(menu.bitmap);
    }
    menu.bitmap = nullptr;
    menu.pixels = nullptr;
}

bool CreateBitmap() {
    FreeBitmap();
    int width = (menu.width + 3) & ~3;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -menu.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    menu.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (menu.bitmap == nullptr || bits == nullptr) {
        FreeBitmap();
        return false;
    }
    menu.pixels = static_cast<unsigned char*>(bits);
    menu.stride = width * 3;
    return true;
}

RECT ItemRect(int item) {
    if (item == kBack) {
        int left = (menu.width - 140) / 2;
        return RECT{left, menu.height - 100, left + 140, menu.height - 60};
    }
    int gridLeft = (menu.width - kColumns * kTileWidth - (kColumns - 1) * kGap) / 2;
    int left = gridLeft + (item % kColumns) * (kTileWidth + kGap);
    int top = 110 + (item / kColumns) * (kTileHeight + kGap);
    return RECT{left, top, left + kTileWidth, top + kTileHeight};
}

int ItemAt(int x, int y) {
    POINT point{x, y};
    for (int item = 0; item <= kBack; ++item) {
        RECT r = ItemRect(item);
        if (PtInRect(&r, point)) {
            return item;
        }
    }
    return kNone;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Label(HDC dc, RECT r, const char* text, int points, COLORREF colour) {
    HFONT font = CreateFontA(-points * 96 / 72, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, previous);
    DeleteObject(font);
}

void DrawItem(HDC dc, int item) {
    RECT r = ItemRect(item);
    bool lit = item == menu.hover;
    Fill(dc, r, lit ? RGB(255, 200, 40) : RGB(60, 90, 160));
    RECT inner{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
    Fill(dc, inner, lit ? RGB(90, 130, 220) : RGB(35, 55, 110));
    Label(dc, inner, item == kBack ? "Back" : kGameNames[item], 12, RGB(255, 255, 255));
}

// Draws the whole menu into the module's bitmap.
void DrawMenu() {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, menu.bitmap);
    SetBkMode(dc, TRANSPARENT);
    Fill(dc, RECT{0, 0, menu.width, menu.height}, RGB(20, 24, 48));
    Label(dc, RECT{0, 20, menu.width, 80}, "Other Games", 24, RGB(255, 220, 120));
    for (int item = 0; item <= kBack; ++item) {
        DrawItem(dc, item);
    }
    GdiFlush();
    SelectObject(dc, previous);
    DeleteDC(dc);
}

void MarkChanged(const RECT& r) {
    menu.changed[menu.changedCount++] = QoRect{r.left, r.top, r.right, r.bottom};
}

void CopyToHost(unsigned char* pixels, int32_t stride, const QoRect& r) {
    for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(pixels + size_t(y) * size_t(stride) + size_t(r.left) * 3,
                    menu.pixels + size_t(y) * size_t(menu.stride) + size_t(r.left) * 3,
                    size_t(r.right - r.left) * 3);
    }
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        FreeBitmap();
    }
    return TRUE;
}

extern "C" {

const char* __cdecl qodll_GetDLLVersionAsString(void) {
    return "demo 1.0";
}

int32_t __cdecl qodll_GetDLLVersionAsInt(void) {
    return 100;
}

unsigned short __cdecl qodll_Initialize(int32_t, const char*, int32_t, const char*, unsigned short,
                                        int32_t interfaceVersion) {
    return interfaceVersion == QO_INTERFACE_VERSION ? 0 : 1;
}

void __cdecl qodll_ShutDown(void) {
    FreeBitmap();
    menu = Menu{};
}

unsigned short __cdecl qodll_EnterMenuSession(int32_t sessionType, int32_t width, int32_t height) {
    if (sessionType != QO_SESSION_OTHER_GAMES || width <= 0 || height <= 0) {
        return 1;
    }
    FreeBitmap();
    menu = Menu{};
    menu.width = width;
    menu.height = height;
    if (!CreateBitmap()) {
        return 2;
    }
    menu.inSession = true;
    return 0;
}

QoBool __cdecl qodll_IsTheMenuSessionComplete(void) {
    return menu.complete ? 1 : 0;
}

void __cdecl qodll_DrawNextFrameIntoBuffer(unsigned char* pixels, int32_t stride,
                                           int32_t bytesPerPixel, int32_t continuity, uint8_t,
                                           uint8_t) {
    menu.changedCount = 0;
    if (!menu.inSession || pixels == nullptr || bytesPerPixel != 3) {
        return;
    }
    bool whole = !menu.drawnOnce || continuity == 0;
    if (!whole && menu.hover == menu.drawnHover) {
        return;
    }
    DrawMenu();
    if (whole) {
        MarkChanged(RECT{0, 0, menu.width, menu.height});
    } else {
        for (int item : {menu.drawnHover, menu.hover}) {
            if (item != kNone) {
                MarkChanged(ItemRect(item));
            }
        }
    }
    for (int i = 0; i < menu.changedCount; ++i) {
        CopyToHost(pixels, stride, menu.changed[i]);
    }
    menu.drawnOnce = true;
    menu.drawnHover = menu.hover;
}

int32_t __cdecl qodll_GetNumberOfRectsToUpdate(void) {
    return menu.changedCount;
}

QoRect __cdecl qodll_GetUpdateRect(int32_t index) {
    return index >= 0 && index < menu.changedCount ? menu.changed[index] : QoRect{0, 0, 0, 0};
}

QoBool __cdecl qodll_HandleWindowsMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!menu.inSession || menu.complete) {
        return 0;
    }
    int x = short(LOWORD(lParam));
    int y = short(HIWORD(lParam));
    switch (message) {
    case WM_MOUSEMOVE:
        menu.hover = ItemAt(x, y);
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 1;
    case WM_LBUTTONUP:
        if (ItemAt(x, y) == kBack) {
            menu.complete = true;
            menu.inSession = false;
        }
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            menu.complete = true;
            menu.inSession = false;
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

void __cdecl qodll_SetPalette(const unsigned char*) {}

const char* __cdecl qodll_GetValueAsString(const char*, const char* defaultValue) {
    return defaultValue;
}

int32_t __cdecl qodll_GetValueAsInt(const char*, int32_t defaultValue) {
    return defaultValue;
}

float __cdecl qodll_GetValueAsFloat(const char*, float defaultValue) {
    return defaultValue;
}

QoBool __cdecl qodll_IsASystemUpdateRequired(void) {
    return 0;
}

const char* __cdecl qodll_GetLastErrorInformation(void) {
    return "The demo menu needs a session of type 1 and a window of at least one pixel.";
}

} // extern "C"
