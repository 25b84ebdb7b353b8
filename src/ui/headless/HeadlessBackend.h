#pragma once
// The headless backend: nothing is shown; the controls' own state is all
// there is. Tests drive forms through it:
//
// - Modal forms: the modal handler is called with the form once it is shown
//   modally (OnShow has run). It may change the form's controls (pick a
//   drive, type a path) and press a button or set a modal result. A handler
//   that leaves no result closes the form as the window's close box would
//   (mrCancel). If the form refuses to close (OnCloseQuery), the handler is
//   called again. Without a handler every modal form answers mrCancel. The
//   handler sees nested modal forms too (a dialog opened from a dialog).
//
// - Message processing: the hook is called from every ProcessMessages, except
//   from one that the hook itself causes, and lets a test act as the user
//   between two steps of long work ("press Cancel while the tenth file is
//   copied"). Run calls the hook over and over until the application is
//   terminated; without a hook, Run returns as soon as the main form is shown.
//
// - Text measurement follows a fixed model so that layout is predictable:
//   every byte (space and tab included) is CharWidth pixels wide and every
//   line LineHeight pixels high, both proportional to the font's point size
//   (8 points: 6 and 13 pixels; 10 points: 7 and 16; 12 points: 9 and 19);
//   face, character set and style do not matter. Wrapping breaks between
//   words at spaces, drops the spaces at a break and lets a word wider than
//   the width stand alone on its line.
//
// - Time: Milliseconds reads the test's clock when one is set. Without one,
//   each reading is a second past the one before, so that work which paces
//   its showing by the clock shows every step.
//
// - Form frames: 3 pixels of border on each side, plus a 19-pixel caption bar
//   (Single, Dialog); a sizeable frame is 4 pixels on each side with the same
//   caption bar; None has no frame. Forms are centred in a 1024 x 768 work
//   area.

#include <functional>

#include "ui/Backend.h"

namespace ui::headless {

[[nodiscard]] constexpr int CharWidth(const Font& font) noexcept {
    const int w = font.Size * 3 / 4;
    return w > 0 ? w : 1;
}

[[nodiscard]] constexpr int LineHeight(const Font& font) noexcept {
    const int h = font.Size * 13 / 8;
    return h > 0 ? h : 1;
}

inline constexpr Rect kWorkArea{0, 0, 1024, 768};

class HeadlessBackend final : public Backend {
public:
    using ModalHandler = std::function<void(Form& form)>;
    using MessageHook = std::function<void()>;
    using Clock = std::function<uint64_t()>;

    void SetModalHandler(ModalHandler handler) { modalHandler_ = std::move(handler); }
    void SetMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // How often ProcessMessages was called (Run's calls not counted).
    [[nodiscard]] long ProcessMessagesCount() const noexcept { return processCount_; }

    [[nodiscard]] std::unique_ptr<Peer> CreatePeer(Control& control) override;
    void RunModal(Application& app, Form& form) override;
    void Run(Application& app) override;
    void ProcessMessages(Application& app) override;
    [[nodiscard]] uint64_t Milliseconds() override { return clock_ ? clock_() : (ownClock_ += 1000); }
    [[nodiscard]] Size MeasureText(const Font& font, unsigned codePage, std::string_view text,
                                   int wrapWidth) override;
    [[nodiscard]] Size FrameSize(const Form& form) override;
    [[nodiscard]] Rect WorkArea() override { return kWorkArea; }

private:
    void CallHook();

    ModalHandler modalHandler_;
    MessageHook messageHook_;
    Clock clock_;
    uint64_t ownClock_ = 0;
    bool inHook_ = false;
    long processCount_ = 0;
};

}  // namespace ui::headless
