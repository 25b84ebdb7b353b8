// Pictures: the bitmap reader with well-formed and hostile inputs side by
// side, scaling, transparency and image lists.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/Bitmap.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct BmpSpec {
    bool fileHeader = true;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t headerSize = 40;
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;    // after a 40-byte header
    Bytes pixels;                   // rows as stored, padded by the caller
    int64_t offsetDelta = 0;        // added to the file header's pixel offset
};

Bytes MakeBmp(const BmpSpec& s) {
    Bytes info;
    Put32(info, s.headerSize);
    Put32(info, static_cast<uint32_t>(s.width));
    Put32(info, static_cast<uint32_t>(s.height));
    Put16(info, s.planes);
    Put16(info, s.bits);
    Put32(info, s.compression);
    for (int i = 0; i < 3; ++i) Put32(info, 0);
    Put32(info, s.colorsUsed);
    Put32(info, 0);
    info.resize(s.headerSize >= 40 ? s.headerSize : info.size(), 0);
    for (uint32_t m : s.masks) Put32(info, m);
    for (uint32_t c : s.palette) Put32(info, c);
    Bytes out;
    if (s.fileHeader) {
        out = {'B', 'M'};
        Put32(out, static_cast<uint32_t>(14 + info.size() + s.pixels.size()));
        Put32(out, 0);
        Put32(out, static_cast<uint32_t>(14 + static_cast<int64_t>(info.size()) + s.offsetDelta));
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

// 2 x 2, 24 bits: bottom row blue, red; top row green, white (stored bottom up).
BmpSpec TwoByTwo() {
    BmpSpec s;
    s.pixels = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, /* row 2 */ 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
    return s;
}

struct Expected {
    int width;
    int height;
    std::vector<uint32_t> pixels;  // top-down, 0xAARRGGBB
};

TEST(Obrazy, ReaderAcceptsWellFormedAndRejectsHostileInput) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::optional<Expected> expected;
    };
    std::vector<Case> cases;
    const Expected twoByTwo{2, 2, {0xFF00FF00, 0xFFFFFFFF, 0xFF0000FF, 0xFFFF0000}};
    cases.push_back({"24 bits with file header", MakeBmp(TwoByTwo()), twoByTwo});
    {
        BmpSpec s = TwoByTwo();
        s.fileHeader = false;
        cases.push_back({"bare DIB", MakeBmp(s), twoByTwo});
        s.height = -2;  // top-down: the same rows read the other way
        cases.push_back({"top-down", MakeBmp(s), Expected{2, 2, {0xFF0000FF, 0xFFFF0000, 0xFF00FF00, 0xFFFFFFFF}}});
    }
    {
        BmpSpec s;
        s.width = 3;
        s.height = 1;
        s.bits = 8;
        s.colorsUsed = 2;
        s.palette = {0x102030, 0xABCDEF};
        s.pixels = {1, 0, 1, 0};
        cases.push_back({"8 bits, short palette", MakeBmp(s), Expected{3, 1, {0xFFABCDEF, 0xFF102030, 0xFFABCDEF}}});
        s.pixels = {1, 2, 1, 0};
        cases.push_back({"palette index past the palette", MakeBmp(s), std::nullopt});
        s.colorsUsed = 300;
        cases.push_back({"more colours than the bits allow", MakeBmp(s), std::nullopt});
    }
    {
        BmpSpec s;
        s.width = 9;
        s.height = 1;
        s.bits = 1;
        s.palette = {0x000000, 0xFFFFFF};
        s.pixels = {0b10000001, 0b10000000, 0, 0};
        std::vector<uint32_t> px(9, 0xFF000000);
        px[0] = px[7] = px[8] = 0xFFFFFFFF;
        cases.push_back({"1 bit, row over two bytes", MakeBmp(s), Expected{9, 1, px}});
    }
    {
        BmpSpec s;
        s.width = 3;
        s.height = 1;
        s.bits = 4;
        s.palette = {0x000001, 0x000002, 0x000003};
        s.colorsUsed = 3;
        s.pixels = {0x21, 0x00, 0, 0};
        cases.push_back({"4 bits", MakeBmp(s), Expected{3, 1, {0xFF000003, 0xFF000002, 0xFF000001}}});
        s.colorsUsed = 0;  // a full palette of 16 that the data does not hold
        cases.push_back({"palette cut short", MakeBmp(s), std::nullopt});
    }
    {
        BmpSpec s;
        s.width = 2;
        s.height = 1;
        s.bits = 32;
        s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
        cases.push_back({"32 bits without alpha are opaque", MakeBmp(s), Expected{2, 1, {0xFF030201, 0xFF060504}}});
        s.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0};
        cases.push_back({"32 bits with alpha", MakeBmp(s), Expected{2, 1, {0x80030201, 0x00060504}}});
        s.compression = 3;
        s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
        cases.push_back({"32 bits, usual bit fields", MakeBmp(s), Expected{2, 1, {0x80030201, 0x00060504}}});
        s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
        cases.push_back({"32 bits, other bit fields", MakeBmp(s), std::nullopt});
    }
    {
        BmpSpec s = TwoByTwo();
        s.compression = 3;
        s.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
        cases.push_back({"bit fields with 24 bits", MakeBmp(s), std::nullopt});
    }
    cases.push_back({"empty", {}, std::nullopt});
    cases.push_back({"signature only", {'B', 'M'}, std::nullopt});
    {
        Bytes b = MakeBmp(TwoByTwo());
        b.resize(14 + 39);
        cases.push_back({"truncated info header", b, std::nullopt});
        b = MakeBmp(TwoByTwo());
        b.pop_back();
        cases.push_back({"pixels one byte short", b, std::nullopt});
    }
    const auto variant = [](auto edit) {
        BmpSpec s = TwoByTwo();
        edit(s);
        return MakeBmp(s);
    };
    cases.push_back({"header size 12", variant([](BmpSpec& s) { s.headerSize = 12; }), std::nullopt});
    cases.push_back({"header larger than the data", variant([](BmpSpec& s) { s.headerSize = 5000; s.fileHeader = false; s.pixels.clear(); }), std::nullopt});
    cases.push_back({"zero width", variant([](BmpSpec& s) { s.width = 0; }), std::nullopt});
    cases.push_back({"negative width", variant([](BmpSpec& s) { s.width = -2; }), std::nullopt});
    cases.push_back({"zero height", variant([](BmpSpec& s) { s.height = 0; }), std::nullopt});
    cases.push_back({"most negative height", variant([](BmpSpec& s) { s.height = INT32_MIN; }), std::nullopt});
    cases.push_back({"two planes", variant([](BmpSpec& s) { s.planes = 2; }), std::nullopt});
    cases.push_back({"16 bits", variant([](BmpSpec& s) { s.bits = 16; }), std::nullopt});
    cases.push_back({"run-length compressed", variant([](BmpSpec& s) { s.compression = 1; }), std::nullopt});
    cases.push_back({"pixel offset past the end", variant([](BmpSpec& s) { s.offsetDelta = 1000; }), std::nullopt});
    cases.push_back({"pixel offset far past the end", variant([](BmpSpec& s) { s.offsetDelta = 0xFFFFFF00; }), std::nullopt});
    cases.push_back({"side over the limit", variant([](BmpSpec& s) { s.width = 100000; s.height = 1; }), std::nullopt});
    cases.push_back({"area over the limit", variant([](BmpSpec& s) { s.width = 8192; s.height = 8192; }), std::nullopt});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<ui::Bitmap> got = ui::Bitmap::FromBmp(c.bytes);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->Width(), c.expected->width);
        EXPECT_EQ(got->Height(), c.expected->height);
        EXPECT_EQ(got->Pixels(), c.expected->pixels);
    }
}

TEST(Obrazy, ResizedAndTransparent) {
    ui::Bitmap strip(2, 1);
    strip.SetPixel(0, 0, 0xFF000000);
    strip.SetPixel(1, 0, 0xFFFFFFFF);
    const ui::Bitmap wide = strip.Resized(4, 1);
    EXPECT_EQ(wide.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(wide.Pixel(3, 0), 0xFFFFFFFFu);
    EXPECT_LT(wide.Pixel(1, 0) & 0xFF, wide.Pixel(2, 0) & 0xFF);
    EXPECT_EQ(ui::Bitmap(1, 1, 0xFF123456).Resized(3, 3), ui::Bitmap(3, 3, 0xFF123456));
    EXPECT_TRUE(strip.Resized(0, 5).Empty());
    EXPECT_TRUE(strip.Resized(ui::Bitmap::kMaxSide + 1, 1).Empty());
    EXPECT_TRUE(ui::Bitmap().Resized(3, 3).Empty());
    EXPECT_TRUE(ui::Bitmap(-1, 4).Empty());

    ui::Bitmap glyph(2, 1, 0xFFFF00FF);
    glyph.SetPixel(1, 0, 0xFF00FF00);
    glyph.MakeTransparent(0x00FF00FF);
    EXPECT_EQ(glyph.Pixel(0, 0), 0u);
    EXPECT_EQ(glyph.Pixel(1, 0), 0xFF00FF00u);
}

TEST(Obrazy, ImageListTakesOnlyItsSize) {
    ui::ImageList list(16, 16);
    EXPECT_EQ(list.Add(ui::Bitmap(16, 16)), 0);
    EXPECT_EQ(list.Add(ui::Bitmap(16, 15)), -1);
    EXPECT_EQ(list.Add(ui::Bitmap()), -1);
    EXPECT_EQ(list.Add(ui::Bitmap(16, 16, 0xFFFFFFFF)), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Image(1).Pixel(0, 0), 0xFFFFFFFFu);
}

}  // namespace
