#pragma once
// A Unicode rich-text box that the program fills piece by piece: text is
// inserted at the caret carrying the character set of the selection
// attributes, or delivered one character at a time as a keystroke (WM_CHAR,
// repeat count 1), as the agreement page does it.
//
// The document is held here as the bytes inserted, each with the character
// set it was inserted with; the backend mirrors the operations. What the user
// does inside the box (moving the caret, typing into a writable box) is not
// reflected back: the program only fills the box.
//
// Code pages: inserted text and keystrokes are in the code page of the
// selection attributes' character set; text loaded whole (SetText) in the
// code page of the default attributes' character set. An explicit
// TextCodePage overrides both.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Control.h"

namespace ui {

struct TextAttributes {
    std::string Name;
    uint8_t Charset = kCharsetDefault;
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

class RichEdit : public Control {
public:
    RichEdit(Control* parent, std::string name);

    // A read-only box ignores keystrokes, as the real control does.
    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);

    // SetText (Control) replaces the whole document with plain text in the
    // default attributes and puts the caret at the start.

    // Empties the box; the caret goes to the start.
    void Clear();
    // Inserts `bytes` at the caret (replacing nothing) in the selection
    // attributes; the caret moves past it.
    void InsertText(std::string_view bytes);
    // Delivers one character as a keystroke at the caret. Ignored when the box
    // is read-only, and for control bytes other than CR and TAB (the real
    // control would treat them as editing keys).
    void SendChar(uint8_t byte);
    // Caret position in bytes of the document.
    [[nodiscard]] std::size_t SelStart() const noexcept { return caret_; }
    void CaretToStart();

    // Suspend and resume redrawing while the box is filled; calls nest.
    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] int UpdateCount() const noexcept { return updateCount_; }

    // The font's face and character set become the default attributes when
    // the font changes; the selection attributes are set on their own.
    [[nodiscard]] const TextAttributes& DefAttributes() const noexcept { return defAttributes_; }
    void SetDefAttributes(TextAttributes attributes);
    [[nodiscard]] const TextAttributes& SelAttributes() const noexcept { return selAttributes_; }
    void SetSelAttributes(TextAttributes attributes);
    void SetSelCharset(uint8_t charset);

    // The character set byte `index` of the document carries.
    [[nodiscard]] uint8_t CharsetAt(std::size_t index) const { return charsets_.at(index); }
    // The code pages used for insertion and for whole loads.
    [[nodiscard]] unsigned InsertCodePage() const noexcept;
    [[nodiscard]] unsigned LoadCodePage() const noexcept;

protected:
    void TextChanged() override;
    void FontChanged() override;

private:
    void InsertAtCaret(std::string_view bytes);

    bool readOnly_ = false;
    std::size_t caret_ = 0;
    std::vector<uint8_t> charsets_;
    int updateCount_ = 0;
    TextAttributes defAttributes_;
    TextAttributes selAttributes_;
};

}  // namespace ui
