// Draws Korrimat's program icon, an open yellow folder with a sheet inside and a small penguin
// in front, and writes it as a one-image .ico (32 x 32, 24 bits, 1-bit mask) and a preview
// .ppm. Built and run on the development host by make-icon.sh; the .ico is kept in the sources.
//
// Each layer is a small pixel map, one character per pixel ('.' leaves what is below), painted
// back to front: editing a picture here is editing the icon.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kSize = 32;

struct Colour {
    std::uint8_t r, g, b;
};

struct Ink {
    char key;
    Colour colour;
};

constexpr Ink kInks[] = {
    {'o', {0x7A, 0x4E, 0x00}},  // folder outline
    {'b', {0xD9, 0x9E, 0x12}},  // folder back panel and tab
    {'s', {0xB0, 0x7A, 0x08}},  // shadow inside the folder
    {'y', {0xFF, 0xD2, 0x3C}},  // folder front flap
    {'h', {0xFF, 0xEE, 0xA0}},  // light on the flap's edge
    {'g', {0x90, 0x90, 0x98}},  // sheet outline
    {'W', {0xFF, 0xFF, 0xFF}},  // sheet, belly, eyes
    {'l', {0x5C, 0x84, 0xC8}},  // writing on the sheet
    {'K', {0x14, 0x14, 0x1C}},  // penguin black
    {'k', {0x48, 0x4C, 0x5C}},  // light on the penguin's black
    {'G', {0xC8, 0xCC, 0xD8}},  // shade on the belly
    {'O', {0xFF, 0x98, 0x10}},  // beak and feet
    {'d', {0xC0, 0x5C, 0x00}},  // dark orange edge of beak and feet
};

struct Layer {
    int left, top;
    std::vector<const char*> rows;
};

// The folder's back panel with its tab.
const Layer kFolderBack{0, 3, {
    ".oooooooo.......................",
    "obbbbbbbbo......................",
    "obbbbbbbbbooooooooooooooo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "obbbbbbbbbbbbbbbbbbbbbbbo.......",
    "ooooooooooooooooooooooooo.......",
}};

// The sheet standing in the folder.
const Layer kSheet{5, 1, {
    "gggggggggggggggg",
    "gWWWWWWWWWWWWWWg",
    "gWWWWWWWWWWWWWWg",
    "gWlllllllllllWWg",
    "gWWWWWWWWWWWWWWg",
    "gWlllllllllllWWg",
    "gWWWWWWWWWWWWWWg",
    "gWllllllllWWWWWg",
    "gWWWWWWWWWWWWWWg",
    "gWlllllllllllWWg",
    "gWWWWWWWWWWWWWWg",
    "gWllllllWWWWWWWg",
    "gWWWWWWWWWWWWWWg",
    "gggggggggggggggg",
}};

// The flap's shadow on the back panel and the sheet.
const Layer kShadow{1, 12, {
    "ssssgGGGGGGGGGGGGGGgsss",
}};

// The front flap, opened towards the viewer: its top edge leans out to the right.
const Layer kFolderFront{0, 13, {
    "....ooooooooooooooooooooooooo...",
    "....ohhhhhhhhhhhhhhhhhhhhhhho...",
    "...oyyyyyyyyyyyyyyyyyyyyyyyo....",
    "...oyyyyyyyyyyyyyyyyyyyyyyyo....",
    "...oyyyyyyyyyyyyyyyyyyyyyyyo....",
    "..oyyyyyyyyyyyyyyyyyyyyyyyo.....",
    "..oyyyyyyyyyyyyyyyyyyyyyyyo.....",
    "..oyyyyyyyyyyyyyyyyyyyyyyyo.....",
    "..oyyyyyyyyyyyyyyyyyyyyyyyo.....",
    ".oyyyyyyyyyyyyyyyyyyyyyyyo......",
    ".oyyyyyyyyyyyyyyyyyyyyyyyo......",
    ".oyyyyyyyyyyyyyyyyyyyyyyyo......",
    "oyyyyyyyyyyyyyyyyyyyyyyyo.......",
    "ooooooooooooooooooooooooo.......",
}};

// The penguin standing in front of the folder's right corner.
const Layer kPenguin{16, 13, {
    ".....KKKKKK.....",
    "....KkKKKKKK....",
    "...KkKKKKKKKK...",
    "...KKWWKKWWKK...",
    "...KKWKKKKWKK...",
    "...KKOOOOOOKK...",
    "...KKKdOOdKKK...",
    "..KKKGWWWWGKKK..",
    ".KKKGWWWWWWGKKK.",
    ".KkKWWWWWWWWKkK.",
    "KkKGWWWWWWWWGKkK",
    "KkKWWWWWWWWWWKkK",
    "KKKWWWWWWWWWWKKK",
    ".KKGWWWWWWWWGKK.",
    "..KKGWWWWWWGKK..",
    "...KKGGGGGGKK...",
    "..dOOOdKKdOOOd..",
    ".dOOOOOddOOOOOd.",
    "..ddddd..ddddd..",
}};

struct Canvas {
    Colour pixels[kSize][kSize]{};
    bool opaque[kSize][kSize]{};

    bool Paint(const Layer& layer)
    {
        for (std::size_t row = 0; row < layer.rows.size(); ++row) {
            const char* line = layer.rows[row];
            for (std::size_t column = 0; line[column] != '\0'; ++column) {
                if (line[column] == '.')
                    continue;
                const int x = layer.left + static_cast<int>(column);
                const int y = layer.top + static_cast<int>(row);
                const Ink* ink = nullptr;
                for (const Ink& candidate : kInks)
                    if (candidate.key == line[column])
                        ink = &candidate;
                if (!ink || x < 0 || y < 0 || x >= kSize || y >= kSize) {
                    std::fprintf(stderr, "bad pixel '%c' at %d,%d\n", line[column], x, y);
                    return false;
                }
                pixels[y][x] = ink->colour;
                opaque[y][x] = true;
            }
        }
        return true;
    }
};

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One ICONDIR entry, then the image: BITMAPINFOHEADER (height doubled for the mask), bottom-up
// 24-bit rows in blue-green-red order, then the AND mask where a set bit is transparent.
std::vector<std::uint8_t> IconFile(const Canvas& canvas)
{
    constexpr unsigned colourRow = (kSize * 3 + 3) / 4 * 4;
    constexpr unsigned maskRow = (kSize + 31) / 32 * 4;
    constexpr unsigned headerSize = 40;
    constexpr unsigned bitsSize = colourRow * kSize + maskRow * kSize;
    std::vector<std::uint8_t> out;
    Put16(out, 0);  // ICONDIR: reserved, type icon, one image
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(kSize);  // ICONDIRENTRY: width, height, no palette, reserved
    out.push_back(kSize);
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, headerSize + bitsSize);
    Put32(out, 6 + 16);  // the image follows the directory
    Put32(out, headerSize);
    Put32(out, kSize);
    Put32(out, kSize * 2);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, bitsSize);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; ++x) {
            // Transparent pixels are black so that the XOR step leaves the background alone.
            const Colour c = canvas.opaque[y][x] ? canvas.pixels[y][x] : Colour{0, 0, 0};
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (unsigned pad = kSize * 3; pad < colourRow; ++pad)
            out.push_back(0);
    }
    for (int y = kSize - 1; y >= 0; --y)
        for (unsigned byte = 0; byte < maskRow; ++byte) {
            std::uint8_t bits = 0;
            for (int bit = 0; bit < 8; ++bit) {
                const int x = static_cast<int>(byte) * 8 + bit;
                if (x >= kSize || !canvas.opaque[y][x])
                    bits |= static_cast<std::uint8_t>(0x80 >> bit);
            }
            out.push_back(bits);
        }
    return out;
}

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// The preview shows transparent pixels in the classic dialog grey.
std::vector<std::uint8_t> PreviewFile(const Canvas& canvas)
{
    char header[32];
    const int length = std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", kSize, kSize);
    std::vector<std::uint8_t> out(header, header + length);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const Colour c = canvas.opaque[y][x] ? canvas.pixels[y][x] : Colour{0xC0, 0xC0, 0xC0};
            out.push_back(c.r);
            out.push_back(c.g);
            out.push_back(c.b);
        }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: DrawIcon ICON.ico PREVIEW.ppm\n");
        return 2;
    }
    Canvas canvas;
    for (const Layer* layer : {&kFolderBack, &kSheet, &kShadow, &kFolderFront, &kPenguin})
        if (!canvas.Paint(*layer))
            return 1;
    if (!WriteFile(argv[1], IconFile(canvas)) || !WriteFile(argv[2], PreviewFile(canvas))) {
        std::fprintf(stderr, "cannot write the icon or its preview\n");
        return 1;
    }
    return 0;
}
