// Placeholder until the banner decoder lands: no banner can be made yet, so
// the frame paints without one.
#include "banner/banner_bitmap.h"

HBITMAP LoadBannerBitmap(HDC, HINSTANCE, WORD, WORD)
{
    return NULL;
}
