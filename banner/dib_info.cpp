// The 24-bit bitmap header handed to CreateDIBitmap.
#include "banner/dib_info.h"

void FillDibHeader24(DibInfo24* info, uint16_t width, uint16_t height)
{
    info->biSize = 40;
    info->biWidth = (int16_t)width;
    info->biHeight = (int16_t)height;
    info->biPlanes = 1;
    info->biBitCount = 24;
    info->biCompression = 0;
    info->biSizeImage = (24u * width + 31) / 32 * height * 4;
    info->biXPelsPerMeter = 72;
    info->biYPelsPerMeter = 72;
    info->biClrUsed = 0;
    info->biClrImportant = 0;
    for (int i = 0; i < 4; ++i)
        info->firstColor[i] = 0;
}
