// Marbles, the demo game: a window of 640x480 drawn with GDI into a back
// bitmap each frame. Its state shows in the window title; closing the
// window ends the program with exit code 0.
#include "marbles_game.h"
#include "marbles_palette.h"

#include <windows.h>

#include <string>

namespace {

constexpr char kClassName[] = "MarblesGame";
constexpr UINT_PTR kFrameTimer = 1;

struct Window {
    marbles::Game game{GetTickCount()};
    DWORD lastTick = GetTickCount();
    HBITMAP back = nullptr;
};
Window window;

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Disc(HDC dc, int x, int y, int radius, COLORREF fill, COLORREF edge) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 2, edge);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Ellipse(dc, x - radius, y - radius, x + radius, y + radius);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void Text(HDC dc, RECT r, const std::string& text, int height, UINT format) {
    HFONT font = CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextA(dc, text.c_str(), -1, &r, format | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
    DeleteObject(font);
}

void DrawFrame(HDC dc) {
    const marbles::Game& game = window.game;
    Fill(dc, RECT{0, 0, marbles::kFieldWidth, marbles::kFieldHeight}, marbles::kFieldColour);
    Fill(dc, RECT{0, 0, marbles::kFieldWidth, marbles::kHudHeight}, marbles::kHudColour);
    SetBkMode(dc, TRANSPARENT);
    RECT hud{16, 0, marbles::kFieldWidth - 16, marbles::kHudHeight};
    Text(dc, hud, "Score " + std::to_string(game.Score()), 20, DT_LEFT);
    Text(dc, hud, "Missed " + std::to_string(game.Missed()), 20, DT_CENTER);
    Text(dc, hud, std::to_string((game.TimeLeftMs() + 999) / 1000) + " s", 20, DT_RIGHT);
    for (const marbles::Marble& marble : game.Marbles()) {
        Disc(dc, marble.x, marble.y, marble.radius, marbles::kPalette[marble.colour],
             RGB(20, 20, 30));
        // A glint up and left makes a flat disc read as a glass marble.
        int glint = marble.radius / 4;
        Disc(dc, marble.x - marble.radius / 3, marble.y - marble.radius / 3, glint,
             RGB(255, 255, 255), RGB(255, 255, 255));
    }
    if (game.Over()) {
        RECT field{0, marbles::kHudHeight, marbles::kFieldWidth, marbles::kFieldHeight};
        Text(dc, field, "Time! You popped " + std::to_string(game.Score()) + " marbles.", 28,
             DT_CENTER);
        RECT below{0, 300, marbles::kFieldWidth, 340};
        Text(dc, below, "Click to play again", 20, DT_CENTER);
    }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (window.back == nullptr) {
        window.back = CreateCompatibleBitmap(dc, marbles::kFieldWidth, marbles::kFieldHeight);
    }
    // Drawn whole off screen, then copied in one go: no flicker.
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, window.back);
    DrawFrame(memory);
    BitBlt(dc, 0, 0, marbles::kFieldWidth, marbles::kFieldHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    EndPaint(hwnd, &paint);
}

void Step(HWND hwnd) {
    DWORD now = GetTickCount();
    window.game.Advance(int(now - window.lastTick));
    window.lastTick = now;
    SetWindowTextA(hwnd, window.game.Title().c_str());
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        Step(hwnd);
        return 0;
    case WM_LBUTTONDOWN:
        window.game.Click(short(LOWORD(lParam)), short(HIWORD(lParam)));
        Step(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd, kFrameTimer);
        if (window.back != nullptr) {
            DeleteObject(window.back);
        }
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_HAND);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, marbles::kFieldWidth, marbles::kFieldHeight};
    AdjustWindowRect(&frame, style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    HWND hwnd = CreateWindowA(kClassName, window.game.Title().c_str(), style,
                              (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                              nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    ShowWindow(hwnd, show);
    SetTimer(hwnd, kFrameTimer, 30, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
