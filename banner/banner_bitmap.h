#pragma once
#include "common/win32.h"

// The banner as a bitmap compatible with dc: BITMAP resource `resourceId` of
// `instance`, decoded, tinted to the button-face colour and shrunk to
// targetWidth pixels with its aspect ratio kept (0: unscaled). Null when no
// bitmap can be made; the caller owns the bitmap.
HBITMAP LoadBannerBitmap(HDC dc, HINSTANCE instance, WORD resourceId, WORD targetWidth);
