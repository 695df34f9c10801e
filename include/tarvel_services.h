/*
 * The services module interface: the plain C entry points that the game
 * wrapper links by name from TarvelArcade.dll. Every entry point is
 * extern "C", __cdecl, and exported under exactly the name below (use a .def
 * file). Yes/no answers are byte-sized; the wrapper reads the low byte.
 * See docs/services-module.md for what the wrapper relies on.
 */
#ifndef TARVEL_SERVICES_H
#define TARVEL_SERVICES_H

#include <stdint.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface version the wrapper passes as the last argument of qodll_Initialize. */
#define QO_INTERFACE_VERSION 6

/* The only session type: the other-games menu. */
#define QO_SESSION_OTHER_GAMES 1

typedef unsigned char QoBool;

/* A rectangle in client coordinates; right and bottom are exclusive. */
typedef struct QoRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} QoRect;

typedef const char*(__cdecl* qodll_GetDLLVersionAsString_t)(void);
typedef int32_t(__cdecl* qodll_GetDLLVersionAsInt_t)(void);
/* servicesFolder is the wrapper's folder followed by "TarvelArcade\"; reserved is 0. Returns 0 when
 * started. */
typedef unsigned short(__cdecl* qodll_Initialize_t)(
    int32_t applicationId, const char* applicationName, int32_t developerChannelId,
    const char* servicesFolder, unsigned short reserved, int32_t interfaceVersion);
typedef void(__cdecl* qodll_ShutDown_t)(void);
/* Returns 0 when the session started. */
typedef unsigned short(__cdecl* qodll_EnterMenuSession_t)(int32_t sessionType, int32_t width,
                                                          int32_t height);
typedef QoBool(__cdecl* qodll_IsTheMenuSessionComplete_t)(void);
/* pixels: first byte of the top row of a 24-bit blue-green-red buffer of the client area.
 * continuity: 0 on the first frame after the window was repainted, else 1. */
typedef void(__cdecl* qodll_DrawNextFrameIntoBuffer_t)(unsigned char* pixels, int32_t stride,
                                                       int32_t bytesPerPixel, int32_t continuity,
                                                       uint8_t lastUpdateRolledBack,
                                                       uint8_t rolledBackThisFrame);
typedef int32_t(__cdecl* qodll_GetNumberOfRectsToUpdate_t)(void);
typedef QoRect(__cdecl* qodll_GetUpdateRect_t)(int32_t index);
/* Returns true when the module took the message; the wrapper then does nothing more with it. */
typedef QoBool(__cdecl* qodll_HandleWindowsMessage_t)(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam);
/* palette: 256 entries of 3 bytes. */
typedef void(__cdecl* qodll_SetPalette_t)(const unsigned char* palette);
typedef const char*(__cdecl* qodll_GetValueAsString_t)(const char* name, const char* defaultValue);
typedef int32_t(__cdecl* qodll_GetValueAsInt_t)(const char* name, int32_t defaultValue);
typedef float(__cdecl* qodll_GetValueAsFloat_t)(const char* name, float defaultValue);
typedef QoBool(__cdecl* qodll_IsASystemUpdateRequired_t)(void);
typedef const char*(__cdecl* qodll_GetLastErrorInformation_t)(void);

#ifdef __cplusplus
}
#endif

#endif
