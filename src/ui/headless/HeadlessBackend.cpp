#include "ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <cstddef>

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui::headless {

namespace {

// Width in characters of each line of one paragraph wrapped at `width`
// characters (width <= 0: not wrapped); calls `line` per line.
template <class F>
void WrapParagraph(std::string_view text, long width, F&& line) {
    if (width <= 0) {
        line(static_cast<long>(text.size()));
        return;
    }
    long current = 0;
    bool started = false;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t spaces = 0;
        while (i < text.size() && text[i] == ' ') ++spaces, ++i;
        std::size_t word = 0;
        while (i < text.size() && text[i] != ' ') ++word, ++i;
        const long s = static_cast<long>(spaces);
        const long w = static_cast<long>(word);
        if (!started) {
            current = s + w;
            started = true;
        } else if (current + s + w <= width) {
            current += s + w;
        } else if (w == 0) {
            // Trailing spaces that do not fit vanish at the line's end.
        } else {
            line(current);
            current = w;
        }
    }
    line(current);
}

}  // namespace

std::unique_ptr<Peer> HeadlessBackend::CreatePeer(Control&) { return nullptr; }

void HeadlessBackend::RunModal(Application& app, Form& form) {
    for (;;) {
        if (form.ModalResult() != mrNone && form.ConfirmModalClose()) return;
        if (!modalHandler_ || app.Terminated()) {
            form.SetModalResult(mrCancel);
            if (!form.ConfirmModalClose()) form.SetModalResult(mrCancel);
            return;
        }
        // A copy: the handler may install another one for the next form.
        const ModalHandler handler = modalHandler_;
        handler(form);
        if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
    }
}

void HeadlessBackend::Run(Application& app) {
    while (!app.Terminated() && messageHook_) CallHook();
}

void HeadlessBackend::ProcessMessages(Application&) {
    ++processCount_;
    CallHook();
}

void HeadlessBackend::CallHook() {
    if (inHook_ || !messageHook_) return;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inHook_};
    inHook_ = true;
    const MessageHook hook = messageHook_;
    hook();
}

Size HeadlessBackend::MeasureText(const Font& font, unsigned, std::string_view text, int wrapWidth) {
    const long cw = CharWidth(font);
    const long widthInChars = wrapWidth > 0 ? std::max<long>(wrapWidth / cw, 1) : 0;
    long widest = 0;
    long lines = 0;
    const auto onLine = [&](long chars) {
        widest = std::max(widest, chars);
        ++lines;
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
        WrapParagraph(text.substr(start, i - start), widthInChars, onLine);
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return {static_cast<int>(widest * cw), static_cast<int>(lines * LineHeight(font))};
}

Size HeadlessBackend::FrameSize(const Form& form) {
    switch (form.BorderStyle()) {
    case BorderStyle::None: return {0, 0};
    case BorderStyle::Sizeable: return {8, 27};
    case BorderStyle::Single:
    case BorderStyle::Dialog: return {6, 25};
    }
    return {0, 0};
}

}  // namespace ui::headless
