#include "engine/fatal.h"

#include "engine/os.h"

#include <cstdlib>

const char* const kOutOfMemoryText =
    "Out of memory.\n\nThe program could not get the memory it needs and must close.";

void FatalCheck(bool condition, const char* text) {
    if (condition) {
        return;
    }
    FatalError(text);
}

void FatalError(const char* text) {
    os::ShowMessageBox("FATAL ERROR", text);
    std::exit(-1);
}

void ShowErrorBox(const char* caption, const char* text) {
    os::ShowDesktopErrorBox(caption, text);
}

void* CheckAllocation(void* p) {
    if (p == nullptr) {
        FatalError(kOutOfMemoryText);
    }
    return p;
}
