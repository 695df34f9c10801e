// Hosted menu sessions: the services module draws its menu into the back
// buffer until it reports that the session is complete.
#include "screens/screen_controller.h"
#include "services/services_host.h"
#include "services/services_update.h"

#include <cstring>

unsigned short QO_EnterMenuSession(int32_t sessionType, int32_t width, int32_t height) {
    ServicesHost& host = GetServicesHost();
    host.lastErrorMessage = nullptr;
    CheckStarted();
    if (host.servicesBroken) {
        // Taken for a started session, which the next frame reports complete.
        ShowCorruptedMessage();
        return 0;
    }
    host.sessionWidth = width;
    host.sessionHeight = height;
    return host.entries.EnterMenuSession(sessionType, width, height);
}

void QO_DrawNextFrameIntoBuffer(unsigned char* pixels, int32_t stride, int32_t bytesPerPixel,
                                int32_t continuity) {
    ServicesHost& host = GetServicesHost();
    CheckStarted();
    if (host.servicesBroken) {
        return;
    }
    if (host.updatePending && !ApplyPendingUpdate()) {
        return;
    }
    if (pixels != nullptr) {
        host.entries.DrawNextFrameIntoBuffer(pixels, stride, bytesPerPixel, continuity,
                                             host.updateRolledBack ? 1 : 0,
                                             host.updateRolledBackNow ? 1 : 0);
        host.updateRolledBackNow = false;
    }
    if ((host.entries.IsASystemUpdateRequired() & 0xFF) != 0) {
        host.updateRolledBack = false;
        host.updatePending = true;
    }
}

bool QO_IsTheMenuSessionComplete() {
    ServicesHost& host = GetServicesHost();
    CheckStarted();
    if (host.servicesBroken) {
        return true;
    }
    if (host.updatePending) {
        return false;
    }
    return (host.entries.IsTheMenuSessionComplete() & 0xFF) != 0;
}

int32_t QO_GetNumberOfRectsToUpdate() {
    ServicesHost& host = GetServicesHost();
    CheckStarted();
    return host.servicesBroken ? 0 : host.entries.GetNumberOfRectsToUpdate();
}

QoRect QO_GetUpdateRect(int32_t index) {
    ServicesHost& host = GetServicesHost();
    CheckStarted();
    return host.servicesBroken ? QoRect{0, 0, 1, 1} : host.entries.GetUpdateRect(index);
}

void QO_SetPalette(const unsigned char* palette) {
    ServicesHost& host = GetServicesHost();
    CheckStarted();
    if (host.servicesBroken || palette == nullptr) {
        return;
    }
    std::memcpy(host.keptPalette, palette, sizeof host.keptPalette);
    host.paletteKept = true;
    host.entries.SetPalette(palette);
}

void ScreenController::OpenOtherGamesMenu() {
    unsigned short result = QO_EnterMenuSession(QO_SESSION_OTHER_GAMES, clientWidth, clientHeight);
    if ((result & 0xFFFF) != 0) {
        MessageBoxA(nullptr, QO_GetLastErrorInformation(), "Error", MB_OK);
        menuSessionActive = false;
        return;
    }
    menuSessionActive = true;
}
