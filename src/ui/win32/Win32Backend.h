#pragma once
// The Win32 backend: every control is a real window (wide-character API,
// common controls), forms are top-level windows with dialog-style keyboard
// handling (Enter presses the default button, Esc the cancel button, Tab
// moves through the Tab order), modal forms disable the thread's other windows
// and run a nested loop, and ProcessMessages pumps what is pending.
//
// Busy work that calls ProcessMessages very often is paced: the queue is
// looked at once every few milliseconds unless a window of ours changed in
// between, and labels and gauges that change faster than the eye follows
// show their latest state a few times a second (the loops show it before they
// wait, Refresh at once, and a gauge shows its ends at once).
//
// Every window carries its control's name as the window property "ui.name",
// a global atom, so that any process can find controls by name.
//
// Keyboard: the focus is always shown (whatever the system's keyboard-cue
// setting), a keyboard group (Control.h) is one Tab stop whose members the
// arrow keys move between, and a window that loses the focus by being
// disabled or hidden hands it to the form's first Tab stop.
//
// Screen readers: each window answers for its client area with the system's
// object for its class, told the name, role and state the control knows
// (Control::AccessibleName; a flag is a radio button, a read-only rich-text
// box a read-only document).
//
// Texts reach the windows converted from the control's code page to UTF-16;
// the controls keep their bytes, so nothing is read back from a window except
// what the user typed into an edit box.
//
// One backend per thread, on the thread that creates the forms. It must
// outlive every form shown through it.

#include <memory>

#include "ui/Backend.h"

namespace ui::win32 {

namespace detail {
class Context;
}

// Paced labels and gauges show a change at most once in this many
// milliseconds while changes keep coming.
inline constexpr unsigned long kPaceInterval = 100;
// ProcessMessages looks at the queue at least this often (milliseconds).
inline constexpr unsigned long kPumpInterval = 10;

class Win32Backend final : public Backend {
public:
    // Registers the window classes and initialises the common controls.
    Win32Backend();
    ~Win32Backend() override;

    [[nodiscard]] std::unique_ptr<Peer> CreatePeer(Control& control) override;
    void RunModal(Application& app, Form& form) override;
    void Run(Application& app) override;
    void ProcessMessages(Application& app) override;
    void Refresh(Application& app) override;
    [[nodiscard]] uint64_t Milliseconds() override;
    void Terminating() override;
    [[nodiscard]] Size MeasureText(const Font& font, unsigned codePage, std::string_view text,
                                   int wrapWidth) override;
    [[nodiscard]] Size FrameSize(const Form& form) override;
    [[nodiscard]] Rect WorkArea() override;

    // High contrast: while it is on, the self-painted parts (form, panel and
    // group-box backgrounds and captions, labels, check boxes, flags) draw
    // with the system's pairs of background and text colours instead of the
    // program's own; pictures stay. The backend follows the system's
    // setting, read at start and whenever the system announces a change of
    // its settings or colours; a program may set it too (tests do, where the
    // system cannot switch it). Every window is drawn again.
    [[nodiscard]] bool HighContrast() const noexcept;
    void SetHighContrast(bool on);

private:
    std::unique_ptr<detail::Context> context_;
};

}  // namespace ui::win32
