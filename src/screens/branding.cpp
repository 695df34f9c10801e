#include "screens/branding.h"

#include "engine/zip_archive.h"
#include "screens/buttons.h"
#include "screens/screen_controller.h"
#include "screens/skin_image.h"
#include "settings/settings.h"

#include <windows.h>

namespace {

// Loads an entry of the archive as an image of exactly the logo's size.
bool LoadBrandingImage(CZipArchive& archive, const char* entryName, CSkinImage& image) {
    CFileStream stream;
    if (!stream.Attach(archive.OpenEntry(entryName, 0), 0) || !image.LoadFromStream(stream)) {
        return false;
    }
    SIZE size = image.GetSize();
    return size.cx == kBrandingWidth && size.cy == kBrandingHeight;
}

} // namespace

void ApplyBranding() {
    CZipArchive archive;
    if (!archive.Open("TarvelArcade/Channel.dat", false, "", false, 0)) {
        return;
    }
    CSkinImage logo;
    if (!LoadBrandingImage(archive, "Branding.jpg", logo)) {
        return;
    }
    int32_t x = GetBrandX();
    int32_t y = GetBrandY();
    CSkinImage mask;
    if (LoadBrandingImage(archive, "BrandingMask.jpg", mask)) {
        backgroundImage.BlendMasked(logo, mask, x, y);
    } else {
        backgroundImage.PasteOnto(logo, x, y);
    }
    GetScreenController().brandingShown = true;
}

bool IsOverBranding(int32_t x, int32_t y) {
    int32_t left = GetBrandX();
    int32_t top = GetBrandY();
    return x >= left && x < left + kBrandingWidth && y >= top && y < top + kBrandingHeight;
}

void BrandingMouseMove(int32_t x, int32_t y) {
    if (!GetScreenController().brandingShown) {
        return;
    }
    SetCursor(LoadCursorA(nullptr, IsOverBranding(x, y) ? IDC_HAND : IDC_ARROW));
}

void BrandingMouseUp(int32_t x, int32_t y) {
    ScreenController& controller = GetScreenController();
    if (!controller.brandingShown || !IsOverBranding(x, y) || controller.buttons.count < 2) {
        return;
    }
    Button* second = controller.buttons[1];
    second->OnMouseDown(second->left + 1, second->top + 1);
    second->OnMouseUp(second->left + 1, second->top + 1);
}
