#pragma once
// A picture held by the program, independent of any device: glyphs of speed
// buttons, the picture of an Image control, the images of an image list.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ui {

class Bitmap {
public:
    // Largest picture accepted from outside, in pixels per side and in all;
    // the program's pictures are far smaller.
    static constexpr int kMaxSide = 8192;
    static constexpr int64_t kMaxPixels = 16 * 1024 * 1024;

    Bitmap() = default;
    // A picture of `width` x `height` pixels filled with `argb`. Sizes outside
    // 0..kMaxSide (or beyond kMaxPixels) give the empty picture.
    Bitmap(int width, int height, uint32_t argb = 0xFF000000u);

    // Reads a Windows bitmap: a .bmp file (with its 14-byte file header) or a
    // bare device-independent bitmap as a BITMAP resource holds it. Accepted:
    // uncompressed 1, 4, 8, 24 and 32 bits per pixel, bottom-up or top-down,
    // and 32 bits with the usual BGR bit fields. Anything truncated,
    // malformed, compressed or larger than the limits above gives nullopt; the
    // reader never looks outside `bytes`.
    [[nodiscard]] static std::optional<Bitmap> FromBmp(std::span<const uint8_t> bytes);

    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    [[nodiscard]] bool Empty() const noexcept { return pixels_.empty(); }

    // Pixels as 0xAARRGGBB, not premultiplied, rows top to bottom. An alpha of
    // 0 is fully transparent.
    [[nodiscard]] uint32_t Pixel(int x, int y) const noexcept { return pixels_[Index(x, y)]; }
    void SetPixel(int x, int y, uint32_t argb) noexcept { pixels_[Index(x, y)] = argb; }
    [[nodiscard]] const std::vector<uint32_t>& Pixels() const noexcept { return pixels_; }

    // Makes every pixel of colour `rgb` (0x00RRGGBB, alpha ignored) fully
    // transparent: glyphs drawn on a plain background mark it this way.
    void MakeTransparent(uint32_t rgb) noexcept;

    // The picture scaled to `width` x `height` (bilinear); the empty picture
    // for an empty source or a size outside the limits.
    [[nodiscard]] Bitmap Resized(int width, int height) const;

    // Renderings of the same picture drawn for denser screens (1.5 and 2
    // times as many pixels per side, say). The picture itself is the one for
    // 96 dpi and gives the size that layouts are made for.
    void AddRendering(Bitmap denser);
    [[nodiscard]] const std::vector<Bitmap>& Renderings() const noexcept { return renderings_; }
    // The picture at `width` x `height` pixels: the rendering nearest in size,
    // scaled smoothly when it is not that size already.
    [[nodiscard]] Bitmap Rendered(int width, int height) const;

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    [[nodiscard]] std::size_t Index(int x, int y) const noexcept {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    std::vector<Bitmap> renderings_;
};

// Images of one size, addressed by index (a tree view's node images).
class ImageList {
public:
    ImageList(int width, int height) : width_(width), height_(height) {}

    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(images_.size()); }
    [[nodiscard]] const Bitmap& Image(int index) const { return images_.at(static_cast<std::size_t>(index)); }

    // Appends an image and returns its index, or -1 when its size is not the
    // list's. A control that shows the list copies the images when the list
    // is assigned to it, so add them first.
    [[nodiscard]] int Add(Bitmap image);

private:
    int width_;
    int height_;
    std::vector<Bitmap> images_;
};

}  // namespace ui
