// novlapack banner IN.bmp OUT.ppm [--width W] [--btnface R,G,B]: shows what
// the installer's frame paints. Decodes a bitmap file with the installer's
// own banner code (the 14-byte file header skipped, as the resource compiler
// does), tints it to the button-face colour, shrinks it to W pixels with its
// aspect ratio kept, and writes a binary PPM, top row first.
#include <stdlib.h>

#include <string>
#include <vector>

#include "banner/area_scale.h"
#include "banner/dib_decode.h"
#include "command.h"
#include "file_io.h"

extern const Command kBannerCommand;

namespace {

const size_t kFileHeaderSize = 14;

// "R,G,B", each 0..255.
bool ParseColor(const char* text, BgrColor* color)
{
    unsigned value[3];
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        if (*p < '0' || *p > '9')
            return false;
        char* end = nullptr;
        const unsigned long v = strtoul(p, &end, 10);
        if (v > 255 || end - p > 3)
            return false;
        value[i] = static_cast<unsigned>(v);
        p = end;
        if (i < 2 && *p++ != ',')
            return false;
    }
    if (*p != '\0')
        return false;
    color->red = static_cast<uint8_t>(value[0]);
    color->green = static_cast<uint8_t>(value[1]);
    color->blue = static_cast<uint8_t>(value[2]);
    return true;
}

// The pixels as a binary PPM: rows from the top, red, green, blue.
std::vector<uint8_t> ToPpm(const PixelBuffer& pixels)
{
    const std::string header =
        "P6\n" + std::to_string(pixels.width) + " " + std::to_string(pixels.height) + "\n255\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    out.reserve(out.size() + static_cast<size_t>(pixels.width) * pixels.height * 3);
    for (int row = pixels.height - 1; row >= 0; --row) {
        const uint8_t* p = pixels.pixels + static_cast<size_t>(row) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, p += 3) {
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    }
    return out;
}

int RunBanner(const CommandArguments& args)
{
    const char* in = args.positional[0];
    const char* out = args.positional[1];
    const char* widthText = args.Option("--width", "0");
    const char* faceText = args.Option("--btnface");
    uint32_t width = 0;
    BgrColor face = {216, 233, 236};  // red 236, green 233, blue 216
    if (!ParseByteCount(widthText, &width) || width > 65535)
        return CommandFailure(kBannerCommand, "--width %s: not a width of 0 to 65535 pixels", widthText);
    if (faceText && !ParseColor(faceText, &face))
        return CommandFailure(kBannerCommand, "--btnface %s: not a colour R,G,B of 0 to 255 each", faceText);

    std::vector<uint8_t> file;
    std::string error;
    if (!ReadWholeFile(in, &file, &error))
        return CommandFailure(kBannerCommand, "%s", error.c_str());
    if (file.size() < kFileHeaderSize || file[0] != 'B' || file[1] != 'M')
        return CommandFailure(kBannerCommand, "%s: not a bitmap file (no \"BM\" header)", in);

    ScaleJob job = {};
    if (!DecodeDib(&job, file.data() + kFileHeaderSize, file.size() - kFileHeaderSize, face)) {
        FreeScaleJob(&job);
        return CommandFailure(kBannerCommand,
                              "%s: cannot decode: only bottom-up 8-bit (plain or RLE8) and 24-bit bitmaps "
                              "up to %d x %d pixels whose data the file holds",
                              in, BANNER_MAX_WIDTH, BANNER_MAX_HEIGHT);
    }
    const PixelBuffer* shown = ScaleToWidth(&job, static_cast<uint16_t>(width));
    if (!shown) {
        FreeScaleJob(&job);
        return CommandFailure(kBannerCommand, "%s: no picture at width %u (its height would be 0)", in, width);
    }
    const std::vector<uint8_t> ppm = ToPpm(*shown);
    FreeScaleJob(&job);
    if (!WriteWholeFile(out, ppm, &error))
        return CommandFailure(kBannerCommand, "%s", error.c_str());
    return 0;
}

}  // namespace

const Command kBannerCommand = {
    "banner",
    "IN.bmp OUT.ppm [--width W] [--btnface R,G,B]",
    "shows the banner as the wizard paints it, as a PPM picture",
    "Decodes the bitmap file IN.bmp as the installer decodes its BITMAP resource\n"
    "(the 14-byte file header skipped), tints its light colours to the\n"
    "button-face colour R,G,B (default 236,233,216: a channel of 220 becomes the\n"
    "button face's), shrinks it by area averaging to W pixels wide with its\n"
    "aspect ratio kept, and writes OUT.ppm (binary PPM, top row first).\n"
    "W 0 or absent, or wider than the picture: the picture at its own size.\n",
    2,
    {{"--width", OPTION_VALUE}, {"--btnface", OPTION_VALUE}},
    RunBanner,
};
