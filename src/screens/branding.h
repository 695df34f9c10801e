// A distribution channel's logo from "TarvelArcade/Channel.dat", merged once
// into the background; while it shows, its rectangle acts like the screen's
// second button and turns the cursor into a hand.
#pragma once

#include <cstdint>

constexpr int32_t kBrandingWidth = 245;
constexpr int32_t kBrandingHeight = 120;

// Merges the logo, masked when the archive has a mask of the logo's size.
// A missing archive, entry or a logo of the wrong size means no branding.
void ApplyBranding();

bool IsOverBranding(int32_t x, int32_t y);

// Mouse hooks, run after the buttons have had the event.
void BrandingMouseMove(int32_t x, int32_t y);
void BrandingMouseUp(int32_t x, int32_t y);
