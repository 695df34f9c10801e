// Hosted menu sessions: the services module draws its menu into the back
// buffer until it reports that the session is complete.
#include "screens/screen_controller.h"
#include "services/services_host.h"

unsigned short QO_EnterMenuSession(int32_t sessionType, int32_t width, int32_t height) {
    ServicesHost& host = GetServicesHost();
    host.lastErrorMessage = nullptr;
    CheckStarted();
    host.sessionWidth = width;
    host.sessionHeight = height;
    return host.entries.EnterMenuSession(sessionType, width, height);
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
