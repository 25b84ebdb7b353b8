#include "ui/RichEdit.h"

namespace ui {

RichEdit::RichEdit(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::RichEdit) {
    SetBounds(0, 0, 185, 89);
    defAttributes_ = {Font().Name, Font().Charset};
    selAttributes_ = defAttributes_;
}

void RichEdit::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    Changed(Aspect::Style);
}

void RichEdit::TextChanged() {
    charsets_.assign(Text().size(), defAttributes_.Charset);
    caret_ = 0;
}

void RichEdit::FontChanged() {
    defAttributes_ = {Font().Name, Font().Charset};
    if (Peer* peer = GetPeer()) peer->RichAttributes(false);
}

void RichEdit::Clear() {
    TextStorage().clear();
    charsets_.clear();
    caret_ = 0;
    if (Peer* peer = GetPeer()) peer->RichClear();
}

void RichEdit::InsertAtCaret(std::string_view bytes) {
    TextStorage().insert(caret_, bytes);
    charsets_.insert(charsets_.begin() + static_cast<std::ptrdiff_t>(caret_), bytes.size(), selAttributes_.Charset);
    caret_ += bytes.size();
}

void RichEdit::InsertText(std::string_view bytes) {
    if (bytes.empty()) return;
    InsertAtCaret(bytes);
    if (Peer* peer = GetPeer()) peer->RichInsert(bytes);
}

void RichEdit::SendChar(uint8_t byte) {
    if (readOnly_ || (byte < 0x20 && byte != '\r' && byte != '\t')) return;
    const char c = static_cast<char>(byte);
    InsertAtCaret(std::string_view(&c, 1));
    if (Peer* peer = GetPeer()) peer->RichChar(byte);
}

void RichEdit::CaretToStart() {
    caret_ = 0;
    if (Peer* peer = GetPeer()) peer->RichCaretToStart();
}

void RichEdit::BeginUpdate() {
    if (updateCount_++ > 0) return;
    if (Peer* peer = GetPeer()) peer->SetRedraw(false);
}

void RichEdit::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (Peer* peer = GetPeer()) peer->SetRedraw(true);
}

void RichEdit::SetDefAttributes(TextAttributes attributes) {
    defAttributes_ = std::move(attributes);
    if (Peer* peer = GetPeer()) peer->RichAttributes(false);
}

void RichEdit::SetSelAttributes(TextAttributes attributes) {
    selAttributes_ = std::move(attributes);
    if (Peer* peer = GetPeer()) peer->RichAttributes(true);
}

void RichEdit::SetSelCharset(uint8_t charset) {
    selAttributes_.Charset = charset;
    if (Peer* peer = GetPeer()) peer->RichAttributes(true);
}

unsigned RichEdit::InsertCodePage() const noexcept {
    return ExplicitTextCodePage() != 0 ? ExplicitTextCodePage() : CodePageOfCharset(selAttributes_.Charset);
}

unsigned RichEdit::LoadCodePage() const noexcept {
    return ExplicitTextCodePage() != 0 ? ExplicitTextCodePage() : CodePageOfCharset(defAttributes_.Charset);
}

}  // namespace ui
