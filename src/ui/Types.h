#pragma once
// Value types shared by the widget layer: geometry, colours, fonts, character
// sets and their code pages, modal results. No platform header is included;
// the numbers are the ones GDI and the window manager use, so the Win32
// backend passes them through (it checks that with static_assert).

#include <cstdint>
#include <string>

namespace ui {

// Pixels. Controls are placed in their parent's client coordinates; forms in
// screen coordinates.
struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Modal results: what ShowModal returns and what a button hands to its form.
// The program's questions compare with mrYes.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// Font character sets, as GDI numbers them.
inline constexpr uint8_t kCharsetAnsi = 0;
inline constexpr uint8_t kCharsetDefault = 1;
inline constexpr uint8_t kCharsetTurkish = 162;
inline constexpr uint8_t kCharsetRussian = 204;
inline constexpr uint8_t kCharsetEastEurope = 238;

// The single-byte code page in which text written for a font character set is
// held. The program's text table stores each language in its font's code page;
// a set that no language uses (DEFAULT among them) reads as Windows-1250, the
// program's own.
[[nodiscard]] constexpr unsigned CodePageOfCharset(uint8_t charset) noexcept {
    switch (charset) {
    case kCharsetAnsi: return 1252;
    case kCharsetTurkish: return 1254;
    case kCharsetRussian: return 1251;
    default: return 1250;
    }
}

// The system colours, by their GDI index.
enum class SystemColor : uint8_t {
    Window = 5,
    WindowText = 8,
    Highlight = 13,
    HighlightText = 14,
    BtnFace = 15,
    BtnShadow = 16,
    GrayText = 17,
    BtnText = 18,
    BtnHighlight = 20,
};

// A colour: either an RGB value or a system colour that follows the user's
// scheme. The encoding is that of a COLORREF, with bit 31 marking a system
// colour whose index is in the low byte.
class Color {
public:
    constexpr Color() noexcept = default;
    [[nodiscard]] static constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) noexcept {
        return Color(uint32_t{r} | (uint32_t{g} << 8) | (uint32_t{b} << 16));
    }
    [[nodiscard]] static constexpr Color System(SystemColor c) noexcept {
        return Color(kSystemBit | static_cast<uint32_t>(c));
    }

    [[nodiscard]] constexpr bool IsSystem() const noexcept { return (value_ & kSystemBit) != 0; }
    // Meaningful only for a system colour.
    [[nodiscard]] constexpr SystemColor SystemIndex() const noexcept {
        return static_cast<SystemColor>(value_ & 0xFF);
    }
    // Meaningful only for an RGB colour: 0x00BBGGRR, as a COLORREF.
    [[nodiscard]] constexpr uint32_t ColorRef() const noexcept { return value_ & 0x00FFFFFF; }
    [[nodiscard]] constexpr uint8_t R() const noexcept { return value_ & 0xFF; }
    [[nodiscard]] constexpr uint8_t G() const noexcept { return (value_ >> 8) & 0xFF; }
    [[nodiscard]] constexpr uint8_t B() const noexcept { return (value_ >> 16) & 0xFF; }

    friend constexpr bool operator==(const Color&, const Color&) = default;

private:
    static constexpr uint32_t kSystemBit = 0x80000000u;
    constexpr explicit Color(uint32_t v) noexcept : value_(v) {}
    uint32_t value_ = kSystemBit | static_cast<uint32_t>(SystemColor::WindowText);
};

inline constexpr Color clWindowText = Color::System(SystemColor::WindowText);
inline constexpr Color clWindow = Color::System(SystemColor::Window);
inline constexpr Color clBtnFace = Color::System(SystemColor::BtnFace);
inline constexpr Color clBtnText = Color::System(SystemColor::BtnText);
inline constexpr Color clHighlight = Color::System(SystemColor::Highlight);
inline constexpr Color clHighlightText = Color::System(SystemColor::HighlightText);
inline constexpr Color clGrayText = Color::System(SystemColor::GrayText);
inline constexpr Color clRed = Color::Rgb(255, 0, 0);
inline constexpr Color clBlack = Color::Rgb(0, 0, 0);
inline constexpr Color clWhite = Color::Rgb(255, 255, 255);

// A font as the program describes it. Size is in points; the backend turns it
// into pixels at the screen's resolution (the headless model at 96 dpi).
struct Font {
    std::string Name = "MS Sans Serif";
    uint8_t Charset = kCharsetDefault;
    int Size = 8;
    Color Colour = clWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

enum class Alignment : uint8_t { Left, Center, Right };
enum class VerticalLayout : uint8_t { Top, Center, Bottom };

// Which parent edges a control keeps its distance to when the parent's client
// area changes size. Left and right (or top and bottom) together stretch it.
struct Anchors {
    bool Left = true;
    bool Top = true;
    bool Right = false;
    bool Bottom = false;
    friend bool operator==(const Anchors&, const Anchors&) = default;
};

// Limits applied whenever a control's size is set; 0 means no limit.
struct Constraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
    friend bool operator==(const Constraints&, const Constraints&) = default;
};

}  // namespace ui
