// bannergen: draws the setup banner from its scene description
// (resources/banner_scene.txt) and writes it as an 8-bit BI_RLE8 bitmap file
// whose palette holds only the colours the picture uses.
//
//   bannergen SCENE OUT.bmp
//
// The drawing is deterministic: the same scene gives the same bytes. Shapes
// are anti-aliased by their distance to each pixel's centre, then every pixel
// takes the nearest colour of a fixed candidate set (the light greys, which
// the installer tints to the dialog colour, and a ramp of the accent colour,
// which it leaves alone), so the palette never exceeds 256 entries.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "rle8_encode.h"

namespace {

struct Rgb {
    float r, g, b;
};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    Rgb& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Segment {
    float x0, y0, x1, y1;
};

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float DistanceToSegment(float px, float py, const Segment& s)
{
    const float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / len2 : 0.0f;
    t = Clamp01(t);
    const float ex = s.x0 + t * dx - px, ey = s.y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// Strokes `segments` with the given width: coverage falls off over one pixel
// at the stroke's edge.
void Stroke(Canvas& canvas, const std::vector<Segment>& segments, float width, Rgb color, float strength = 1.0f)
{
    const float half = width / 2.0f;
    for (const Segment& s : segments) {
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(s.x0, s.x1) - half - 1)));
        const int x1 = std::min(canvas.width - 1, static_cast<int>(std::ceil(std::max(s.x0, s.x1) + half + 1)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(s.y0, s.y1) - half - 1)));
        const int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(std::max(s.y0, s.y1) + half + 1)));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float coverage = Clamp01(half - DistanceToSegment(x + 0.5f, y + 0.5f, s) + 0.5f);
                if (coverage > 0.0f)
                    canvas.At(x, y) = Mix(canvas.At(x, y), color, coverage * strength);
            }
    }
}

// Stroke font on a 4 x 6 cell: each glyph is a list of polylines.
const std::map<char, std::vector<std::vector<std::pair<float, float>>>>& Glyphs()
{
    static const std::map<char, std::vector<std::vector<std::pair<float, float>>>> glyphs = {
        {'A', {{{0, 6}, {2, 0}, {4, 6}}, {{0.8f, 3.8f}, {3.2f, 3.8f}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'I', {{{2, 0}, {2, 6}}, {{1, 0}, {3, 0}}, {{1, 6}, {3, 6}}}},
        {'L', {{{0, 0}, {0, 6}, {4, 6}}}},
        {'N', {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}},
        {'O', {{{0, 0}, {4, 0}, {4, 6}, {0, 6}, {0, 0}}}},
        {'P', {{{0, 6}, {0, 0}, {4, 0}, {4, 3}, {0, 3}}}},
        {'R', {{{0, 6}, {0, 0}, {4, 0}, {4, 3}, {0, 3}}, {{1.6f, 3}, {4, 6}}}},
        {'S', {{{4, 0}, {0, 0}, {0, 3}, {4, 3}, {4, 6}, {0, 6}}}},
        {'T', {{{0, 0}, {4, 0}}, {{2, 0}, {2, 6}}}},
        {'U', {{{0, 0}, {0, 6}, {4, 6}, {4, 0}}}},
        {'V', {{{0, 0}, {2, 6}, {4, 0}}}},
        {'X', {{{0, 0}, {4, 6}}, {{4, 0}, {0, 6}}}},
        {' ', {}},
    };
    return glyphs;
}

bool DrawText(Canvas& canvas, float x, float y, float cell, float strokeWidth, Rgb color, const std::string& text)
{
    std::vector<Segment> segments;
    for (char c : text) {
        const auto glyph = Glyphs().find(c);
        if (glyph == Glyphs().end()) {
            std::fprintf(stderr, "bannergen: no glyph for '%c'\n", c);
            return false;
        }
        for (const auto& line : glyph->second)
            for (size_t i = 1; i < line.size(); ++i)
                segments.push_back({x + line[i - 1].first * cell, y + line[i - 1].second * cell,
                                    x + line[i].first * cell, y + line[i].second * cell});
        x += 6.0f * cell;  // 4 cells of glyph, 2 of space
    }
    Stroke(canvas, segments, strokeWidth, color);
    return true;
}

// Background: a vertical grey gradient with a faint horizontal swell.
void DrawGradient(Canvas& canvas, float top, float bottom)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float t = static_cast<float>(y) / (canvas.height - 1);
            const float swell = 3.0f * std::sin(3.14159265f * x / canvas.width);
            const float grey = top + (bottom - top) * t + swell;
            canvas.At(x, y) = {grey, grey, grey};
        }
}

// A triangular lattice (three families of parallel lines, 60 degrees apart)
// between x0 and x1, fading in from x0.
void DrawLattice(Canvas& canvas, float x0, float x1, float spacing, Rgb color, float strength)
{
    const float angles[3] = {0.0f, 1.04719755f, 2.09439510f};
    for (int y = 0; y < canvas.height; ++y)
        for (int x = static_cast<int>(x0); x < std::min<float>(x1, canvas.width); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            float coverage = 0.0f;
            for (float a : angles) {
                const float d = px * std::sin(a) + py * std::cos(a);
                const float f = d / spacing - std::floor(d / spacing);
                const float distance = std::fabs(f - 0.5f) * spacing;  // to the nearest line
                coverage = std::max(coverage, Clamp01(1.0f - std::fabs(spacing / 2.0f - distance)));
            }
            const float fade = Clamp01((px - x0) / (x1 - x0) * 1.6f);
            canvas.At(x, y) = Mix(canvas.At(x, y), color, coverage * fade * strength);
        }
}

// Two nested diamonds with a filled core: the product's mark.
void DrawMark(Canvas& canvas, float cx, float cy, float r, float strokeWidth, Rgb color, Rgb fill)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float d = std::fabs(x + 0.5f - cx) + std::fabs(y + 0.5f - cy);
            const float coverage = Clamp01(r * 0.38f - d / 1.41421356f + 0.5f);
            if (coverage > 0.0f)
                canvas.At(x, y) = Mix(canvas.At(x, y), fill, coverage);
        }
    for (float scale : {1.0f, 0.7f}) {
        const float k = r * scale;
        std::vector<Segment> diamond = {{cx, cy - k, cx + k, cy},
                                        {cx + k, cy, cx, cy + k},
                                        {cx, cy + k, cx - k, cy},
                                        {cx - k, cy, cx, cy - k}};
        Stroke(canvas, diamond, strokeWidth * scale, color);
    }
}

void FillRect(Canvas& canvas, int x, int y, int w, int h, Rgb color)
{
    for (int j = std::max(0, y); j < std::min(canvas.height, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(canvas.width, x + w); ++i)
            canvas.At(i, j) = color;
}

// A bar whose colour fades from `color` at its left end into what lies
// beneath at its right end.
void FadeBar(Canvas& canvas, int x, int y, int w, int h, Rgb color)
{
    for (int j = std::max(0, y); j < std::min(canvas.height, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(canvas.width, x + w); ++i)
            canvas.At(i, j) = Mix(color, canvas.At(i, j), static_cast<float>(i - x) / w);
}

struct Scene {
    Canvas canvas;
    Rgb accent{20, 52, 110};
};

// A colour argument: "accent", "accent:T" (the accent mixed with white by T)
// or a grey level.
bool ParseColor(const Scene& scene, const std::string& word, Rgb& color)
{
    if (word == "accent") {
        color = scene.accent;
        return true;
    }
    if (word.rfind("accent:", 0) == 0) {
        color = Mix(scene.accent, {255, 255, 255}, std::stof(word.substr(7)));
        return true;
    }
    const float grey = std::stof(word);
    color = {grey, grey, grey};
    return true;
}

bool RunScene(std::istream& in, Scene& scene)
{
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const size_t hash = line.find('#');
        std::string text;
        const size_t quote = line.find('"');
        if (quote != std::string::npos) {
            const size_t close = line.find('"', quote + 1);
            text = line.substr(quote + 1, close - quote - 1);
            line = line.substr(0, quote);
        } else if (hash != std::string::npos) {
            line = line.substr(0, hash);
        }
        std::istringstream words(line);
        std::string command;
        if (!(words >> command))
            continue;
        Canvas& c = scene.canvas;
        std::string colorWord;
        Rgb color{};
        if (command == "size") {
            words >> c.width >> c.height;
            c.pixels.assign(static_cast<size_t>(c.width) * c.height, {255, 255, 255});
        } else if (command == "accent") {
            words >> scene.accent.r >> scene.accent.g >> scene.accent.b;
        } else if (command == "gradient") {
            float top, bottom;
            words >> top >> bottom;
            DrawGradient(c, top, bottom);
        } else if (command == "lattice") {
            float x0, x1, spacing, strength;
            words >> x0 >> x1 >> spacing >> colorWord >> strength;
            ParseColor(scene, colorWord, color);
            DrawLattice(c, x0, x1, spacing, color, strength);
        } else if (command == "mark") {
            float cx, cy, r, w;
            std::string fillWord;
            Rgb fill{};
            words >> cx >> cy >> r >> w >> colorWord >> fillWord;
            ParseColor(scene, colorWord, color);
            ParseColor(scene, fillWord, fill);
            DrawMark(c, cx, cy, r, w, color, fill);
        } else if (command == "text") {
            float x, y, cell, w;
            words >> x >> y >> cell >> w >> colorWord;
            ParseColor(scene, colorWord, color);
            if (!DrawText(c, x, y, cell, w, color, text))
                return false;
        } else if (command == "rect") {
            int x, y, w, h;
            words >> x >> y >> w >> h >> colorWord;
            ParseColor(scene, colorWord, color);
            FillRect(c, x, y, w, h, color);
        } else if (command == "fade") {
            int x, y, w, h;
            words >> x >> y >> w >> h >> colorWord;
            ParseColor(scene, colorWord, color);
            FadeBar(c, x, y, w, h, color);
        } else {
            std::fprintf(stderr, "bannergen: line %d: unknown command '%s'\n", number, command.c_str());
            return false;
        }
        if (words.fail() || c.width <= 0 || c.height <= 0) {
            std::fprintf(stderr, "bannergen: line %d: bad arguments\n", number);
            return false;
        }
    }
    return true;
}

struct Color8 {
    uint8_t r, g, b;
    bool operator<(const Color8& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
    bool operator==(const Color8& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Candidate colours: the 140 greys from 116 to 255, and 48 steps from the
// accent colour towards a light grey.
std::vector<Color8> Candidates(Rgb accent)
{
    std::vector<Color8> set;
    for (int grey = 116; grey <= 255; ++grey)
        set.push_back({uint8_t(grey), uint8_t(grey), uint8_t(grey)});
    for (int i = 0; i < 48; ++i) {
        const Rgb c = Mix(accent, {236, 238, 242}, i / 48.0f);
        set.push_back({uint8_t(std::lround(c.r)), uint8_t(std::lround(c.g)), uint8_t(std::lround(c.b))});
    }
    return set;
}

uint8_t Channel(float v)
{
    return static_cast<uint8_t>(std::lround(std::min(255.0f, std::max(0.0f, v))));
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The picture in palette form: the colours used, most frequent first, and
// the index rows, bottom row first as the DIB stores them.
struct Indexed {
    std::vector<std::pair<Color8, int>> palette;
    std::vector<uint8_t> rows;
    int rowLength = 0;
};

// Every pixel takes its nearest candidate colour.
Indexed Quantize(const Scene& scene)
{
    const Canvas& canvas = scene.canvas;
    const int width = canvas.width, height = canvas.height;
    // Nearest candidate for every pixel, counting the colours used.
    const std::vector<Color8> candidates = Candidates(scene.accent);
    std::vector<int> nearest(canvas.pixels.size());
    std::map<Color8, int> used;
    for (size_t i = 0; i < canvas.pixels.size(); ++i) {
        const Color8 p{Channel(canvas.pixels[i].r), Channel(canvas.pixels[i].g), Channel(canvas.pixels[i].b)};
        int best = 0, bestDistance = 1 << 30;
        for (size_t k = 0; k < candidates.size(); ++k) {
            const int dr = p.r - candidates[k].r, dg = p.g - candidates[k].g, db = p.b - candidates[k].b;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(k);
            }
        }
        nearest[i] = best;
        ++used[candidates[best]];
    }

    Indexed out;
    out.palette.assign(used.begin(), used.end());
    std::stable_sort(out.palette.begin(), out.palette.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::map<Color8, uint8_t> indexOf;
    for (size_t i = 0; i < out.palette.size(); ++i)
        indexOf[out.palette[i].first] = static_cast<uint8_t>(i);
    out.rowLength = (8 * width + 31) / 32 * 4;
    out.rows.assign(static_cast<size_t>(out.rowLength) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.rows[static_cast<size_t>(height - 1 - y) * out.rowLength + x] =
                indexOf[candidates[nearest[static_cast<size_t>(y) * width + x]]];
    return out;
}

// The bitmap file: file header, BITMAPINFOHEADER, palette, RLE8 stream.
std::vector<uint8_t> BitmapFile(int width, int height, const Indexed& picture, const std::vector<uint8_t>& stream)
{
    const uint32_t colors = static_cast<uint32_t>(picture.palette.size());
    const uint32_t dataOffset = 14 + 40 + 4 * colors;
    std::vector<uint8_t> file;
    file.push_back('B');
    file.push_back('M');
    Put32(file, dataOffset + static_cast<uint32_t>(stream.size()));
    Put32(file, 0);
    Put32(file, dataOffset);
    Put32(file, 40);
    Put32(file, width);
    Put32(file, height);
    Put16(file, 1);
    Put16(file, 8);
    Put32(file, 1);  // BI_RLE8
    Put32(file, static_cast<uint32_t>(stream.size()));
    Put32(file, 2835);  // 72 dots per inch
    Put32(file, 2835);
    Put32(file, colors);
    Put32(file, colors);
    for (const auto& entry : picture.palette) {
        file.push_back(entry.first.b);
        file.push_back(entry.first.g);
        file.push_back(entry.first.r);
        file.push_back(0);
    }
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bannergen SCENE OUT.bmp\n");
        return 2;
    }
    std::ifstream sceneFile(argv[1]);
    if (!sceneFile) {
        std::fprintf(stderr, "bannergen: cannot read %s\n", argv[1]);
        return 1;
    }
    Scene scene;
    if (!RunScene(sceneFile, scene) || scene.canvas.width <= 0)
        return 1;
    const int width = scene.canvas.width, height = scene.canvas.height;
    const Indexed picture = Quantize(scene);
    const std::vector<uint8_t> stream = EncodeRle8(picture.rows.data(), width, height, picture.rowLength);
    const std::vector<uint8_t> file = BitmapFile(width, height, picture, stream);

    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "bannergen: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("bannergen: %dx%d, %zu colours, %zu bytes of RLE8\n", width, height, picture.palette.size(),
                stream.size());
    return 0;
}
