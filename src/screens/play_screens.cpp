#include "screens/play_screens.h"

#include "engine/fatal.h"
#include "game/game_process.h"
#include "game/game_windows.h"
#include "screens/back_buffer.h"
#include "screens/branding.h"
#include "screens/buttons.h"
#include "screens/skin_image.h"
#include "screens/text.h"
#include "settings/settings.h"
#include "shell/main_window.h"

const char* const kPostGameText =
    "Thank you for playing the Full Version of [GAME_TITLE]. \n \nPlease visit our website to "
    "evaluate other great games. \n \nThis window will automatically close in [TIME_TO_CLOSE] "
    "Seconds.";

void ScreenController::StartGame() {
    ShowGame();
    if (IsGameRunning()) {
        return;
    }
    LaunchGame();
}

void ScreenController::AddPlayGameButton() {
    AddButton(new Button(457, 472, "Play Game",
                         new ControllerAction(this, &ScreenController::StartGame)));
}

void ScreenController::AddOtherGamesButton() {
    AddButton(new Button(584, 472, "Other Games",
                         new ControllerAction(this, &ScreenController::OpenOtherGamesMenu)));
}

void GameRunningScreen(ScreenController&, ScreenMessage message) {
    if (message.type == ScreenTick && !IsGameRunning()) {
        ShowWrapper();
        SetScreen(PostGameScreen);
    }
}

void PostGameScreen(ScreenController& controller, ScreenMessage message) {
    switch (message.type) {
    case ScreenEnter:
        controller.closeCountdown = 20.0f;
        controller.ClearButtons();
        controller.AddPlayGameButton();
        controller.AddOtherGamesButton();
        break;
    case ScreenTick:
        if (FindGameWindows() != nullptr) {
            SetScreen(GameRunningScreen);
            break;
        }
        controller.closeCountdown -= float(message.elapsed) * 0.001f;
        if (controller.closeCountdown <= 0.0f) {
            controller.closeCountdown = 0.0f;
            PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        }
        break;
    case ScreenDraw: {
        int32_t h = DrawTitleBlock(controller, message.dc, 460, 30, 230);
        DrawWrappedText(controller, kPostGameText, 10, message.dc, 460, 30 + h, 230,
                        GetFontColorWrapperDescription());
        break;
    }
    case ScreenLeave:
        break;
    }
}

bool InitScreens() {
    ScreenController& controller = GetScreenController();
    controller.StartGame();
    SetScreen(GameRunningScreen);
    controller.quitRequested = false;
    controller.menuSessionActive = false;
    controller.repaintPending = false;
    controller.clockLast = 0;
    controller.clockRemainder = 0;
    controller.backBufferBitmap = nullptr;
    controller.backBufferPixels = nullptr;
    RECT client{};
    GetClientRect(mainWindow, &client);
    controller.clientWidth = client.right;
    controller.clientHeight = client.bottom;
    CreateBackBuffer(controller, mainWindow);
    FatalCheck(backgroundImage.LoadFromFile("TarvelArcade\\Background.jpg"),
               "Can't Load 'Background.jpg'");
    FatalCheck(buttonNormalImage.LoadFromFile("TarvelArcade\\button_normal.jpg"),
               "Can't Load 'button_normal.jpg'");
    FatalCheck(buttonHoverImage.LoadFromFile("TarvelArcade\\button_hover.jpg"),
               "Can't Load 'button_hover.jpg'");
    FatalCheck(buttonPressedImage.LoadFromFile("TarvelArcade\\button_pressed.jpg"),
               "Can't Load 'button_pressed.jpg'");
    ApplyBranding();
    HDC windowDC = GetDC(mainWindow);
    DrawBackground(windowDC);
    ReleaseDC(mainWindow, windowDC);
    return true;
}
