#include "message_box_watcher.h"

#include <algorithm>
#include <windows.h>

MessageBoxWatcher::MessageBoxWatcher() : thread(&MessageBoxWatcher::Watch, this) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stopping = true;
    thread.join();
}

std::vector<AnsweredBox> MessageBoxWatcher::Boxes() {
    std::lock_guard<std::mutex> guard(lock);
    return boxes;
}

void MessageBoxWatcher::Watch() {
    std::vector<HWND> clicked;
    while (!stopping) {
        // A box stays listed until it is gone, so a late repaint is not a second box.
        clicked.erase(
            std::remove_if(clicked.begin(), clicked.end(), [](HWND old) { return !IsWindow(old); }),
            clicked.end());
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (process != GetCurrentProcessId() || !IsWindowVisible(box)) {
                continue;
            }
            if (std::find(clicked.begin(), clicked.end(), box) != clicked.end()) {
                continue;
            }
            char caption[256] = "";
            char text[1024] = "";
            GetWindowTextA(box, caption, sizeof(caption));
            GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
            {
                std::lock_guard<std::mutex> guard(lock);
                boxes.push_back({caption, text});
            }
            clicked.push_back(box);
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        Sleep(10);
    }
}
