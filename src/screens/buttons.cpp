#include "screens/buttons.h"

#include <cstring>

#include "screens/branding.h"
#include "screens/screen_controller.h"
#include "screens/skin_image.h"
#include "screens/text.h"
#include "settings/settings.h"

Button::~Button() {
    delete action;
    action = nullptr;
    pressed = false;
    hover = false;
}

void Button::OnMouseUp(int32_t x, int32_t y) {
    if (pressed && Contains(x, y) && action != nullptr && action->CanInvoke()) {
        action->Invoke();
    }
    pressed = false;
    hover = false;
}

void Button::Draw(HDC dc) const {
    int32_t cx = left + (right - left) / 2;
    int32_t cy = top + (bottom - top) / 2;
    CSkinImage& face = !hover     ? buttonNormalImage
                       : !pressed ? buttonHoverImage
                                  : buttonPressedImage;
    SIZE size = face.GetSize();
    RECT at{cx - size.cx / 2, cy - size.cy / 2, cx + size.cx / 2, cy + size.cy / 2};
    face.Draw(dc, at);
    int32_t length = int32_t(std::strlen(label));
    TextExtent extent = MeasureText(dc, label, length, 10);
    SetBkMode(dc, TRANSPARENT);
    DrawTextAt(dc, left + (right - left - extent.width) / 2,
               top + (bottom - top - extent.height) / 2, label, length, 10, GetFontColorButtons());
}

uint32_t ScreenController::AddButton(Button* button) {
    return buttons.Add(button);
}

void ScreenController::ClearButtons() {
    while (buttons.count != 0) {
        buttons.DeleteAt(buttons.count - 1);
    }
}

// Count and storage are read afresh for each index: an action may append.
void ScreenController::OnMouseMove(int32_t x, int32_t y) {
    if (menuSessionActive) {
        return;
    }
    for (uint32_t i = 0; i < buttons.count; ++i) {
        buttons[i]->OnMouseMove(x, y);
    }
    BrandingMouseMove(x, y);
}

void ScreenController::OnMouseDown(int32_t x, int32_t y) {
    if (menuSessionActive) {
        return;
    }
    for (uint32_t i = 0; i < buttons.count; ++i) {
        buttons[i]->OnMouseDown(x, y);
    }
}

void ScreenController::OnMouseUp(int32_t x, int32_t y) {
    if (menuSessionActive) {
        return;
    }
    for (uint32_t i = 0; i < buttons.count; ++i) {
        buttons[i]->OnMouseUp(x, y);
    }
    BrandingMouseUp(x, y);
}
