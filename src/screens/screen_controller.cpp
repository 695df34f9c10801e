#include "screens/screen_controller.h"

#include <cstdlib>

namespace {

ScreenController* controller = nullptr;

void DestroyScreenController() {
    controller->buttons.FreeStorage();
}

} // namespace

ScreenController& GetScreenController() {
    if (controller == nullptr) {
        controller = new ScreenController{};
        std::atexit(DestroyScreenController);
    }
    return *controller;
}
