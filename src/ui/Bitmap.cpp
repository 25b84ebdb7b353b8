#include "ui/Bitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace ui {

namespace {

bool SizeAllowed(int64_t width, int64_t height) {
    return width >= 0 && height >= 0 && width <= Bitmap::kMaxSide && height <= Bitmap::kMaxSide &&
           width * height <= Bitmap::kMaxPixels;
}

// Little-endian reads from a span whose bounds the caller has checked.
uint32_t U16(std::span<const uint8_t> b, std::size_t at) {
    return uint32_t{b[at]} | (uint32_t{b[at + 1]} << 8);
}
uint32_t U32(std::span<const uint8_t> b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}
int32_t S32(std::span<const uint8_t> b, std::size_t at) {
    return static_cast<int32_t>(U32(b, at));
}

constexpr std::size_t kFileHeader = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

}  // namespace

Bitmap::Bitmap(int width, int height, uint32_t argb) {
    if (!SizeAllowed(width, height) || width == 0 || height == 0) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), argb);
}

std::optional<Bitmap> Bitmap::FromBmp(std::span<const uint8_t> bytes) {
    // With a file header the pixels start at its offset; a bare DIB has them
    // right after the header, the bit masks and the palette.
    std::size_t dib = 0;
    std::optional<uint64_t> pixelOffset;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        if (bytes.size() < kFileHeader) return std::nullopt;
        dib = kFileHeader;
        pixelOffset = U32(bytes, 10);
    }
    if (bytes.size() - dib < 40) return std::nullopt;
    const std::span<const uint8_t> info = bytes.subspan(dib);
    const uint32_t headerSize = U32(info, 0);
    if (headerSize < 40 || headerSize > info.size()) return std::nullopt;
    const int64_t width = S32(info, 4);
    const int64_t rawHeight = S32(info, 8);
    const uint32_t planes = U16(info, 12);
    const uint32_t bits = U16(info, 14);
    const uint32_t compression = U32(info, 16);
    const uint32_t colorsUsed = U32(info, 32);

    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -rawHeight : rawHeight;
    if (planes != 1 || width <= 0 || height <= 0 || !SizeAllowed(width, height)) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;

    uint64_t after = dib + uint64_t{headerSize};
    if (compression == kBiBitfields) {
        if (bits != 32) return std::nullopt;
        // The masks follow a 40-byte header; longer headers carry them inside.
        const std::size_t masksAt = headerSize == 40 ? headerSize : 40;
        if (info.size() < masksAt + 12) return std::nullopt;
        if (U32(info, masksAt) != 0x00FF0000u || U32(info, masksAt + 4) != 0x0000FF00u ||
            U32(info, masksAt + 8) != 0x000000FFu)
            return std::nullopt;
        if (headerSize == 40) after += 12;
    } else if (compression != kBiRgb) {
        return std::nullopt;
    }

    std::vector<uint32_t> palette;
    if (bits <= 8) {
        const uint64_t maxColors = uint64_t{1} << bits;
        const uint64_t count = colorsUsed == 0 ? maxColors : colorsUsed;
        if (count > maxColors || after + count * 4 > bytes.size()) return std::nullopt;
        palette.reserve(static_cast<std::size_t>(count));
        for (uint64_t i = 0; i < count; ++i) {
            const std::size_t at = static_cast<std::size_t>(after + i * 4);
            palette.push_back(0xFF000000u | (uint32_t{bytes[at + 2]} << 16) | (uint32_t{bytes[at + 1]} << 8) |
                              bytes[at]);
        }
        after += count * 4;
    }

    const uint64_t start = pixelOffset.value_or(after);
    const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    if (start > bytes.size() || stride * static_cast<uint64_t>(height) > bytes.size() - start)
        return std::nullopt;

    Bitmap out(static_cast<int>(width), static_cast<int>(height));
    bool anyAlpha = false;
    for (int64_t row = 0; row < height; ++row) {
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        const std::size_t line = static_cast<std::size_t>(start + static_cast<uint64_t>(row) * stride);
        for (int x = 0; x < width; ++x) {
            uint32_t argb = 0;
            const std::size_t ux = static_cast<std::size_t>(x);
            switch (bits) {
            case 32: {
                const std::size_t at = line + ux * 4;
                argb = (uint32_t{bytes[at + 3]} << 24) | (uint32_t{bytes[at + 2]} << 16) |
                       (uint32_t{bytes[at + 1]} << 8) | bytes[at];
                anyAlpha = anyAlpha || bytes[at + 3] != 0;
                break;
            }
            case 24: {
                const std::size_t at = line + ux * 3;
                argb = 0xFF000000u | (uint32_t{bytes[at + 2]} << 16) | (uint32_t{bytes[at + 1]} << 8) | bytes[at];
                break;
            }
            default: {
                const std::size_t bitPos = ux * bits;
                const uint32_t byte = bytes[line + bitPos / 8];
                const uint32_t shift = 8 - bits - static_cast<uint32_t>(bitPos % 8);
                const uint32_t index = (byte >> shift) & ((1u << bits) - 1);
                if (index >= palette.size()) return std::nullopt;
                argb = palette[index];
                break;
            }
            }
            out.SetPixel(x, y, argb);
        }
    }
    // Most 32-bit bitmaps leave the fourth byte zero: they are opaque.
    if (bits == 32 && !anyAlpha) {
        for (uint32_t& p : out.pixels_) p |= 0xFF000000u;
    }
    return out;
}

void Bitmap::MakeTransparent(uint32_t rgb) noexcept {
    for (uint32_t& p : pixels_) {
        if ((p & 0x00FFFFFFu) == (rgb & 0x00FFFFFFu)) p = 0;
    }
}

Bitmap Bitmap::Resized(int width, int height) const {
    if (Empty() || !SizeAllowed(width, height) || width == 0 || height == 0) return {};
    Bitmap out(width, height);
    // Sample at pixel centres; each channel is interpolated on its own.
    for (int y = 0; y < height; ++y) {
        const double sy = std::clamp((y + 0.5) * height_ / height - 0.5, 0.0, height_ - 1.0);
        const int y0 = static_cast<int>(sy);
        const int y1 = std::min(y0 + 1, height_ - 1);
        const double fy = sy - y0;
        for (int x = 0; x < width; ++x) {
            const double sx = std::clamp((x + 0.5) * width_ / width - 0.5, 0.0, width_ - 1.0);
            const int x0 = static_cast<int>(sx);
            const int x1 = std::min(x0 + 1, width_ - 1);
            const double fx = sx - x0;
            uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                auto c = [&](int px, int py) { return static_cast<double>((Pixel(px, py) >> shift) & 0xFF); };
                const double top = c(x0, y0) * (1 - fx) + c(x1, y0) * fx;
                const double bottom = c(x0, y1) * (1 - fx) + c(x1, y1) * fx;
                const double v = top * (1 - fy) + bottom * fy;
                result |= static_cast<uint32_t>(std::clamp(v + 0.5, 0.0, 255.0)) << shift;
            }
            out.SetPixel(x, y, result);
        }
    }
    return out;
}

void Bitmap::AddRendering(Bitmap denser) {
    if (Empty() || denser.Empty()) return;
    denser.renderings_.clear();
    renderings_.push_back(std::move(denser));
}

Bitmap Bitmap::Rendered(int width, int height) const {
    const Bitmap* best = this;
    for (const Bitmap& r : renderings_) {
        if (std::abs(r.width_ - width) + std::abs(r.height_ - height) <
            std::abs(best->width_ - width) + std::abs(best->height_ - height))
            best = &r;
    }
    if (best->width_ == width && best->height_ == height) {
        Bitmap out = *best;
        out.renderings_.clear();
        return out;
    }
    return best->Resized(width, height);
}

int ImageList::Add(Bitmap image) {
    if (image.Width() != width_ || image.Height() != height_ || image.Empty()) return -1;
    images_.push_back(std::move(image));
    return Count() - 1;
}

}  // namespace ui
