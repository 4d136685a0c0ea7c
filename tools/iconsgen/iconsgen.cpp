// Host tool: compiles the installer's text-art icons (resources/icons.txt)
// into 16-colour .ico files.
//   iconsgen ART_FILE OUT_DIR
// The art file holds "icon NAME" lines, each followed by one or more
// "image SIZE" blocks of SIZE rows of SIZE characters: a hex digit is a
// colour of the standard 16-colour palette, '.' a transparent pixel. '#'
// starts a comment line.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Image {
    int size = 0;
    std::vector<std::string> rows;
};

struct Icon {
    std::string name;
    std::vector<Image> images;
};

// Red, green, blue of the standard 16-colour palette.
const uint8_t kPalette[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int ColourIndex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The image's BITMAPINFOHEADER, palette, colour bits and mask, as an icon
// file stores them: rows bottom-up, each padded to four bytes.
std::string ImageData(const Image& image)
{
    const int n = image.size;
    const int colourStride = ((n * 4 + 31) / 32) * 4;
    const int maskStride = ((n + 31) / 32) * 4;
    std::string colour(static_cast<size_t>(colourStride * n), '\0');
    std::string mask(static_cast<size_t>(maskStride * n), '\0');
    for (int y = 0; y < n; ++y) {
        int row = n - 1 - y;
        for (int x = 0; x < n; ++x) {
            char c = image.rows[y][x];
            int index = c == '.' ? 0 : ColourIndex(c);
            uint8_t& pair = reinterpret_cast<uint8_t&>(colour[row * colourStride + x / 2]);
            pair |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
            if (c == '.')
                mask[row * maskStride + x / 8] |= static_cast<char>(0x80 >> (x % 8));
        }
    }
    std::string out;
    Put32(out, 40);
    Put32(out, n);
    Put32(out, 2 * n);  // colour bits and mask together
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(colour.size() + mask.size()));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (const auto& rgb : kPalette) {
        out += static_cast<char>(rgb[2]);
        out += static_cast<char>(rgb[1]);
        out += static_cast<char>(rgb[0]);
        out += '\0';
    }
    return out + colour + mask;
}

std::string IconFile(const Icon& icon)
{
    std::string out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(icon.images.size()));
    std::vector<std::string> data;
    for (const Image& image : icon.images)
        data.push_back(ImageData(image));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * icon.images.size());
    for (size_t i = 0; i < icon.images.size(); ++i) {
        int n = icon.images[i].size;
        out += static_cast<char>(n == 256 ? 0 : n);
        out += static_cast<char>(n == 256 ? 0 : n);
        out += static_cast<char>(16);  // colours
        out += '\0';
        Put16(out, 1);  // planes
        Put16(out, 4);  // bits per pixel
        Put32(out, static_cast<uint32_t>(data[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(data[i].size());
    }
    for (const std::string& d : data)
        out += d;
    return out;
}

bool Fail(const std::string& where, const std::string& what)
{
    fprintf(stderr, "iconsgen: %s: %s\n", where.c_str(), what.c_str());
    return false;
}

bool Parse(const char* path, std::vector<Icon>& icons)
{
    std::ifstream in(path);
    if (!in)
        return Fail(path, "cannot read");
    std::string line;
    int lineNo = 0;
    Image* open = nullptr;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string where = std::string(path) + ":" + std::to_string(lineNo);
        if (open && static_cast<int>(open->rows.size()) < open->size) {
            if (static_cast<int>(line.size()) != open->size)
                return Fail(where, "row of " + std::to_string(line.size()) + " pixels, want " +
                                       std::to_string(open->size));
            for (char c : line) {
                if (c != '.' && ColourIndex(c) < 0)
                    return Fail(where, std::string("not a colour: ") + c);
            }
            open->rows.push_back(line);
            continue;
        }
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "icon") {
            icons.emplace_back();
            words >> icons.back().name;
            open = nullptr;
        } else if (keyword == "image" && !icons.empty()) {
            Image image;
            words >> image.size;
            if (image.size < 1 || image.size > 256)
                return Fail(where, "bad image size");
            icons.back().images.push_back(image);
            open = &icons.back().images.back();
        } else {
            return Fail(where, "expected \"icon NAME\" or \"image SIZE\"");
        }
    }
    if (open && static_cast<int>(open->rows.size()) < open->size)
        return Fail(path, "last image is short of rows");
    for (const Icon& icon : icons) {
        if (icon.name.empty() || icon.images.empty())
            return Fail(path, "an icon without a name or an image");
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: iconsgen ART_FILE OUT_DIR\n");
        return 2;
    }
    std::vector<Icon> icons;
    if (!Parse(argv[1], icons))
        return 1;
    for (const Icon& icon : icons) {
        std::string path = std::string(argv[2]) + "/" + icon.name;
        std::ofstream out(path, std::ios::binary);
        std::string data = IconFile(icon);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out) {
            Fail(path, "cannot write");
            return 1;
        }
    }
    return 0;
}
