#include "engine/os.h"

#include <cstdio>

namespace os {

// Without a desktop the box becomes one line on standard error, which tests read.
void ShowMessageBox(const char* caption, const char* text) {
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    std::fflush(stderr);
}

void ShowDesktopErrorBox(const char* caption, const char* text) { ShowMessageBox(caption, text); }

} // namespace os
