// The wrapper's only way to the services module: loads, links and starts
// it, guards every call and turns each failure into a text to show.
#pragma once

#include "services/entry_points.h"

#include <cstdint>
#include <windows.h>

// The arguments of the last start, kept for the restart after an update.
struct StartArguments {
    int32_t applicationId;
    char applicationName[1024];
    int32_t developerChannelId;
    unsigned short value;
};

struct ServicesHost {
    int32_t sessionWidth;
    int32_t sessionHeight;
    // The palette last given to QO_SetPalette, passed again after an update.
    unsigned char keptPalette[768];
    char servicesFolder[MAX_PATH];
    HMODULE servicesModule;
    EntryTable entries;
    const char* lastErrorMessage;
    char loadErrorText[2048];
    // The module's own text for a failed start, kept before it is unloaded.
    char moduleErrorText[1024];
    StartArguments startArguments;
    bool startCalled;
    bool paletteKept;
    bool servicesBroken;
    bool updatePending;
    // Passed to every frame after a roll-back until the module asks for an update again.
    bool updateRolledBack;
    // Passed to the one frame right after a roll-back.
    bool updateRolledBackNow;
};

ServicesHost& GetServicesHost();

// Starts the module with the settings' ids and name; 0 when it runs,
// 3 when the library did not load, 5 when an entry point is missing,
// otherwise the module's own failure code.
unsigned short QO_Initialize(int32_t applicationId, const char* applicationName,
                             int32_t developerChannelId, unsigned short value);
unsigned short StartServicesModule(int32_t applicationId, const char* applicationName,
                                   int32_t developerChannelId, const char* servicesFolder,
                                   unsigned short value);
void QO_ShutDown();
const char* QO_GetLastErrorInformation();
void CheckStarted();

// Menu sessions. While the module is broken each of these takes a harmless
// fallback: no drawing, no rectangles, no messages, the session complete.
unsigned short QO_EnterMenuSession(int32_t sessionType, int32_t width, int32_t height);
// Applies a pending update first; never given null pixels.
void QO_DrawNextFrameIntoBuffer(unsigned char* pixels, int32_t stride, int32_t bytesPerPixel,
                                int32_t continuity);
bool QO_IsTheMenuSessionComplete();
int32_t QO_GetNumberOfRectsToUpdate();
QoRect QO_GetUpdateRect(int32_t index);
void QO_SetPalette(const unsigned char* palette);

// Offers a window message to the module first; true when it took it.
bool QO_HandleWindowsMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
