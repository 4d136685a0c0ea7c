#pragma once
// Failures of the banner: any of them leaves the banner unpainted (a null
// bitmap); the wizard goes on without it.
#include <stdint.h>

#include "common/win32.h"

// The banner as a bitmap compatible with dc: BITMAP resource `resourceId` of
// `instance`, decoded, tinted to the button-face colour and shrunk to
// targetWidth pixels with its aspect ratio kept (0: unscaled; a width beyond
// the picture's also gives it unscaled). Null when no bitmap can be made:
// the resource is missing or cannot be loaded, its pixels cannot be decoded,
// the scaled height comes to 0, or memory or GDI fail. The caller owns the
// bitmap.
HBITMAP LoadBannerBitmap(HDC dc, HINSTANCE instance, WORD resourceId, WORD targetWidth);

// The blue, green and red bytes of GetSysColor(index).
void SplitSysColor(int index, uint8_t* blue, uint8_t* green, uint8_t* red);
