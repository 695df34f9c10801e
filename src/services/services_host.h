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

unsigned short QO_EnterMenuSession(int32_t sessionType, int32_t width, int32_t height);

// Offers a window message to the module first; true when it took it.
bool QO_HandleWindowsMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
