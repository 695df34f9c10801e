// Skinned push buttons: a 110 by 32 hot rectangle, three faces, a label and
// an owned action run on a press and release inside the button.
#pragma once

#include <cstdint>
#include <windows.h>

struct ScreenController;

class ButtonAction {
  public:
    virtual ~ButtonAction() = default;
    virtual void Invoke() = 0;
    virtual bool CanInvoke() { return true; }
    virtual bool HasEnableCheck() { return false; }
    virtual int ZeroQuery() { return 0; }
};

using ControllerOperation = void (ScreenController::*)();
using ControllerCheck = bool (ScreenController::*)();

// Calls an operation of the screen controller.
class ControllerAction : public ButtonAction {
  public:
    ControllerAction(ScreenController* actionTarget, ControllerOperation actionOperation,
                     ControllerCheck actionEnableCheck = nullptr)
        : target(actionTarget), operation(actionOperation), enableCheck(actionEnableCheck) {}

    void Invoke() override { (target->*operation)(); }
    bool CanInvoke() override { return enableCheck == nullptr || (target->*enableCheck)(); }
    bool HasEnableCheck() override { return enableCheck != nullptr; }

  private:
    ScreenController* target;
    ControllerOperation operation;
    ControllerCheck enableCheck;
};

struct Button {
    static constexpr int32_t kWidth = 110;
    static constexpr int32_t kHeight = 32;

    Button(int32_t x, int32_t y, const char* buttonLabel, ButtonAction* buttonAction)
        : label(buttonLabel), action(buttonAction), left(x), top(y), right(x + kWidth),
          bottom(y + kHeight) {}
    ~Button();
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    bool Contains(int32_t x, int32_t y) const {
        return left <= x && x < right && top <= y && y < bottom;
    }
    void OnMouseMove(int32_t x, int32_t y) { hover = Contains(x, y); }
    void OnMouseDown(int32_t x, int32_t y) { pressed = Contains(x, y); }
    void OnMouseUp(int32_t x, int32_t y);
    // Draws face and label into the frame's drawing context.
    void Draw(HDC dc) const;

    const char* label;
    ButtonAction* action;
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    bool pressed = false;
    bool hover = false;
};
