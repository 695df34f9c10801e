// The frame clock, the screen protocol, the frame tick and the post-game
// screen's buttons, in-process against a real window.
#include "harness.h"
#include "screens/back_buffer.h"
#include "screens/branding.h"
#include "screens/buttons.h"
#include "screens/play_screens.h"
#include "screens/screen_controller.h"
#include "settings/game_record.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> received;

void Record(const char* screen, ScreenMessage message) {
    static const char* const names[] = {"enter", "tick", "draw", "leave"};
    std::string entry = std::string(screen) + " " + names[message.type];
    if (message.type == ScreenTick || message.type == ScreenDraw) {
        entry += " " + std::to_string(message.elapsed);
    }
    if (message.type == ScreenDraw) {
        EXPECT_EQ(message.dc, frameDC);
        EXPECT_NE(message.dc, nullptr);
    } else {
        EXPECT_EQ(message.dc, nullptr);
    }
    received.push_back(entry);
}

void ScreenA(ScreenController&, ScreenMessage message) {
    Record("A", message);
}
void ScreenB(ScreenController&, ScreenMessage message) {
    Record("B", message);
}

// Switches to B on its first tick.
void SwitchingScreen(ScreenController&, ScreenMessage message) {
    Record("S", message);
    if (message.type == ScreenTick) {
        SetScreen(ScreenB);
    }
}

// The settings, a window standing in for the wrapper's and its back buffer.
class Controller : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string folder = harness::BuildFolder();
        CreateDirectoryA((folder + "TarvelArcade").c_str(), nullptr);
        harness::WriteFileText(folder + "TarvelArcade\\QOX_002.wdt",
                               "Application Name=Controller Tests\r\n");
        GetGameRecord();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ControllerTests";
        RegisterClassA(&windowClass);
        mainWindow = CreateWindowExA(0, "ControllerTests", "wrapper", WS_POPUP, 0, 0, 720, 540,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ScreenController& c = GetScreenController();
        c.clientWidth = 720;
        c.clientHeight = 540;
        CreateBackBuffer(c, mainWindow);
    }

    void SetUp() override {
        received.clear();
        ShowWindow(mainWindow, SW_SHOWNORMAL);
        GetScreenController().clockLast = 0;
        GetScreenController().clockRemainder = 0;
    }

    // A tick that the clock releases: the previous step lies 25 ms back.
    static void ReleasedTick() {
        ScreenController& c = GetScreenController();
        c.clockRemainder = 0;
        c.clockLast = timeGetTime() - 25;
        Tick();
    }
};

TEST(FrameClock, ReleasesWholeStepsAndCarriesTheRest) {
    struct Case {
        uint32_t last;
        int32_t remainder;
        uint32_t now;
        uint32_t released;
        int32_t kept;
    };
    const Case cases[] = {
        {0, 0, 5000, 0, 0},             // the first step only records the time
        {1000, 7, 1033, 40, 0},         // 7 + 33
        {1000, 7, 1012, 0, 19},         // 7 + 12
        {1000, 0, 1047, 40, 7},         // a stall of 47 ms
        {1000, 0, 6000, 5000, 0},       // a long stall is released whole
        {0xFFFFFFF0u, 0, 0x10, 20, 12}, // across the wrap of the system time
        {1000, 19, 1001, 20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.last << " +" << c.remainder << " -> " << c.now);
        ScreenController controller{};
        controller.clockLast = c.last;
        controller.clockRemainder = c.remainder;
        EXPECT_EQ(StepClockAt(controller, c.now), c.released);
        EXPECT_EQ(controller.clockRemainder, c.kept);
        EXPECT_EQ(controller.clockLast, c.now);
    }
}

TEST_F(Controller, SetScreenLeavesThenEnters) {
    SetScreen(ScreenA);
    SetScreen(ScreenB);
    SetScreen(ScreenB);
    EXPECT_EQ(received,
              (std::vector<std::string>{"A enter", "A leave", "B enter", "B leave", "B enter"}));
}

TEST_F(Controller, FirstTickAfterAResetDoesNothing) {
    SetScreen(ScreenA);
    received.clear();
    Tick();
    EXPECT_TRUE(received.empty());
    GetScreenController().clockLast -= 30;
    Tick();
    EXPECT_EQ(received, (std::vector<std::string>{"A tick 20", "A draw 20"}));
}

TEST_F(Controller, HiddenWindowTicksWithoutDrawing) {
    SetScreen(ScreenA);
    ShowWindow(mainWindow, SW_HIDE);
    received.clear();
    ReleasedTick();
    EXPECT_EQ(received, std::vector<std::string>{"A tick 20"});
}

TEST_F(Controller, ScreenSwitchedDuringItsTickDrawsTheNewScreen) {
    SetScreen(SwitchingScreen);
    received.clear();
    ReleasedTick();
    EXPECT_EQ(received, (std::vector<std::string>{"S tick 20", "S leave", "B enter", "B draw 20"}));
}

TEST_F(Controller, MenuSessionFreezesTheScreenAndTheButtons) {
    ScreenController& c = GetScreenController();
    SetScreen(PostGameScreen);
    c.closeCountdown = 12.0f;
    Button* play = c.buttons[0];
    c.menuSessionActive = true;
    c.OnMouseMove(500, 480);
    c.OnMouseDown(500, 480);
    EXPECT_FALSE(play->hover);
    EXPECT_FALSE(play->pressed);
    c.menuSessionActive = false;
    ReleasedTick();
    EXPECT_FLOAT_EQ(c.closeCountdown, 12.0f - 0.02f);
}

TEST_F(Controller, PostGameScreenHasExactlyTwoButtonsEachTime) {
    ScreenController& c = GetScreenController();
    SetScreen(PostGameScreen);
    SetScreen(PostGameScreen);
    ASSERT_EQ(c.buttons.count, 2u);
    EXPECT_STREQ(c.buttons[0]->label, "Play Game");
    EXPECT_EQ(c.buttons[0]->left, 457);
    EXPECT_EQ(c.buttons[0]->top, 472);
    EXPECT_STREQ(c.buttons[1]->label, "Other Games");
    EXPECT_EQ(c.buttons[1]->left, 584);
    EXPECT_EQ(c.buttons[1]->bottom, 504);
    EXPECT_FLOAT_EQ(c.closeCountdown, 20.0f);
}

TEST_F(Controller, CountdownPostsCloseAtZero) {
    ScreenController& c = GetScreenController();
    SetScreen(PostGameScreen);
    c.closeCountdown = 0.01f;
    ReleasedTick();
    EXPECT_EQ(c.closeCountdown, 0.0f);
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, mainWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST_F(Controller, CursorIsAHandOverTheBrandingOnly) {
    ScreenController& c = GetScreenController();
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    // The logo sits at the default Brand X and Y, 9 and 22, 245 by 120.
    struct Case {
        int32_t x, y;
        HCURSOR expected;
    };
    const Case cases[] = {{9, 22, hand},  {253, 141, hand}, {254, 22, arrow},  {9, 142, arrow},
                          {8, 60, arrow}, {100, 21, arrow}, {720, 540, arrow}, {130, 80, hand}};
    c.brandingShown = true;
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.x << "," << k.y);
        SetCursor(k.expected == hand ? arrow : hand);
        c.OnMouseMove(k.x, k.y);
        EXPECT_EQ(GetCursor(), k.expected);
    }
    // Without branding the cursor is left alone.
    c.brandingShown = false;
    SetCursor(arrow);
    c.OnMouseMove(130, 80);
    EXPECT_EQ(GetCursor(), arrow);
}

int invoked = 0;
int destroyed = 0;

class CountingAction : public ButtonAction {
  public:
    ~CountingAction() override { ++destroyed; }
    void Invoke() override { ++invoked; }
};

TEST(Buttons, HotRectangleEdges) {
    Button button(100, 50, "x", nullptr);
    struct Case {
        int32_t x, y;
        bool inside;
    };
    const Case cases[] = {{100, 50, true}, {209, 81, true},  {210, 60, false}, {150, 82, false},
                          {99, 60, false}, {150, 49, false}, {720, 540, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(button.Contains(c.x, c.y), c.inside);
        button.OnMouseMove(c.x, c.y);
        EXPECT_EQ(button.hover, c.inside);
    }
}

TEST(Buttons, ClickNeedsPressAndReleaseInTheSameButton) {
    struct Step {
        char kind; // m: move, d: down, u: up
        int32_t x, y;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int runs;
    };
    const Case cases[] = {
        {"click", {{'m', 10, 10}, {'d', 10, 10}, {'u', 10, 10}}, 1},
        {"out and back in", {{'d', 10, 10}, {'m', 200, 10}, {'m', 10, 10}, {'u', 10, 10}}, 1},
        {"press outside, release inside", {{'d', 200, 10}, {'u', 10, 10}}, 0},
        {"press on one, release on the other", {{'d', 10, 10}, {'u', 150, 10}}, 0},
        {"release outside", {{'d', 10, 10}, {'u', 115, 10}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        invoked = 0;
        destroyed = 0;
        ScreenController controller{};
        controller.AddButton(new Button(0, 0, "one", new CountingAction));
        controller.AddButton(new Button(140, 0, "two", new CountingAction));
        for (const Step& s : c.steps) {
            if (s.kind == 'm') {
                controller.OnMouseMove(s.x, s.y);
            } else if (s.kind == 'd') {
                controller.OnMouseDown(s.x, s.y);
            } else {
                controller.OnMouseUp(s.x, s.y);
            }
        }
        EXPECT_EQ(invoked, c.runs);
        for (uint32_t i = 0; i < controller.buttons.count; ++i) {
            EXPECT_FALSE(controller.buttons[i]->hover) << "normal face after a release";
            EXPECT_FALSE(controller.buttons[i]->pressed);
        }
        controller.ClearButtons();
        EXPECT_EQ(controller.buttons.count, 0u);
        EXPECT_EQ(destroyed, 2);
        controller.buttons.FreeStorage();
    }
}

TEST(Buttons, FacesFollowTheMouse) {
    Button button(0, 0, "x", nullptr);
    button.OnMouseDown(5, 5);
    button.OnMouseMove(5, 5);
    EXPECT_TRUE(button.pressed && button.hover) << "pressed face";
    button.OnMouseMove(500, 5);
    EXPECT_TRUE(button.pressed && !button.hover) << "normal face while held outside";
    button.OnMouseMove(5, 5);
    EXPECT_TRUE(button.pressed && button.hover) << "pressed face again";
    // Leaving the window arrives as a move to the first point outside it.
    button.OnMouseMove(720, 540);
    EXPECT_FALSE(button.hover);
}

} // namespace
