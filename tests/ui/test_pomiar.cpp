// The headless text-measurement model and the labels that size themselves
// by it.

#include <string>

#include "ui/Controls.h"
#include "ui/Measure.h"

#include "../Pomocnicy.h"

namespace {

struct Pomiar : pomocnicy::NaHeadless {
    ui::Form form{"frmPytanie"};
};

TEST_F(Pomiar, Model) {
    struct Case {
        const char* text;
        int points;
        int wrap;
        ui::Size expected;
    };
    const Case cases[] = {
        {"", 8, 0, {0, 13}},
        {"abc", 8, 0, {18, 13}},
        {"abcd", 10, 0, {28, 16}},
        {"abcd", 12, 0, {36, 19}},
        {"ab\r\ncdef", 8, 0, {24, 26}},
        {"a\rb\nc", 8, 0, {6, 39}},
        {"ab\r\n", 8, 0, {12, 26}},
        {"\r\n\r\n", 8, 0, {0, 39}},
        {"Krok jeden dwa trzy", 8, 60, {60, 26}},
        {"Krok jeden dwa trzy", 8, 0, {114, 13}},
        {"abcdefgh ij", 8, 30, {48, 26}},   // a word wider than the width sticks out
        {"a   b", 8, 60, {30, 13}},          // inner spaces count
        {"abcde   ", 8, 30, {30, 13}},       // spaces at a break vanish
        {"ab cd", 8, 3, {12, 26}},           // narrower than a character
        {"aaa bbb\r\nccc", 8, 30, {18, 39}},  // each paragraph wraps on its own
        {"   ", 8, 12, {18, 13}},            // spaces opening a paragraph stay
    };
    for (const Case& c : cases) {
        ui::Font font;
        font.Size = c.points;
        EXPECT_EQ(ui::MeasureWrappedText(font, 1250, c.text, c.wrap), c.expected) << '"' << c.text << "\" " << c.wrap;
    }
}

TEST_F(Pomiar, AutoSizedLabel) {
    ui::Label label(&form, "lblTytul");
    EXPECT_EQ(label.Width(), 6);  // an empty label measures a space
    EXPECT_EQ(label.Height(), 13);
    label.SetCaption("Zamknij");
    EXPECT_EQ(label.Width(), 42);
    label.SetCaption("Instalacja\r\nkoniec");
    EXPECT_EQ(label.Width(), 60);
    EXPECT_EQ(label.Height(), 26);
    label.SetFontSize(12);
    EXPECT_EQ(label.Width(), 90);
    EXPECT_EQ(label.Height(), 38);
    label.SetAutoSize(false);
    label.SetCaption("x");
    EXPECT_EQ(label.Width(), 90);
}

TEST_F(Pomiar, RightAlignedLabelKeepsItsRightEdge) {
    ui::Label label(&form, "lblMiejsceWolne");
    label.SetAlignment(ui::Alignment::Right);
    label.SetBounds(300, 10, 60, 13);
    label.SetCaption("Wolne: 12,0 MB");
    EXPECT_EQ(label.Width(), 84);
    EXPECT_EQ(label.Left() + label.Width(), 360);
}

// The question dialog fits its label to the text: no wrap and auto size, the
// caption, then wrap on within at most 400 pixels.
TEST_F(Pomiar, LabelFittedToTheQuestionText) {
    struct Case {
        std::string text;
        ui::Size expected;
    };
    std::string longText;
    for (int i = 0; i < 20; ++i) longText += "slowo ";  // 119 bytes: 714 pixels in one line
    longText.pop_back();
    const Case cases[] = {
        {"OK", {12, 13}},
        {"Czy chcesz przerwac?", {120, 13}},
        // 66 characters fit in 400 pixels: 11 words per line.
        {longText, {390, 26}},
    };
    for (const Case& c : cases) {
        ui::Label label(&form, "lblPytanie");
        label.SetConstraints({0, 0, 400, 0});
        label.SetBounds(16, 16, 0, 0);
        label.SetWordWrap(false);
        label.SetAutoSize(true);
        label.SetCaption(c.text);
        label.SetWordWrap(true);
        label.SetAutoSize(false);
        EXPECT_EQ((ui::Size{label.Width(), label.Height()}), c.expected) << c.text;
    }
}

}  // namespace
