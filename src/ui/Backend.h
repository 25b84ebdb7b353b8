#pragma once
// The seam between the controls and what shows them. A backend turns controls
// into something on screen (the Win32 backend: windows) or keeps nothing at all
// (the headless backend: the controls' own state is all there is). Every
// control holds its peer, so Control.h includes this header and forms can name
// these types; only backends implement them, and forms have no need to.

#include <cstdint>
#include <memory>
#include <string_view>

#include "ui/Types.h"

namespace ui {

class Application;
class Control;
class Form;
class TreeNode;

// What changed on a control; the peer reads the new state from the control.
enum class Aspect : uint8_t {
    Text,       // caption or text (and, for forms, the window caption)
    Bounds,     // position or size
    Enabled,
    Visible,
    Font,       // face, character set, size, style or colour of the font
    Color,      // background colour, also of children that inherit it
    State,      // checked, down
    Style,      // kind-specific flags: alignment, word wrap, default/cancel, read-only, flat, ...
    Items,      // the item list of a drop-down
    ItemIndex,  // the selected item of a drop-down
    Progress,   // the range or position of a gauge
    Picture,    // a glyph, a picture or an image list
    Order,      // tab and stacking order among siblings
    Name,       // the name screen readers read
};

// The backend's object behind one control. It lives exactly as long as the
// control's backend representation; the control owns it and destroys it
// before the control dies.
class Peer {
public:
    Peer() = default;
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;
    virtual ~Peer() = default;

    virtual void Update(Aspect aspect) = 0;
    virtual void Focus() = 0;

    // Rich-text box operations, mirrored one to one.
    virtual void RichClear() {}
    virtual void RichLoad() {}                          // the whole text replaced (plain)
    virtual void RichInsert(std::string_view /*bytes*/) {}  // at the caret, selection attributes
    virtual void RichChar(uint8_t /*byte*/) {}          // one keystroke at the caret
    virtual void RichCaretToStart() {}
    virtual void RichAttributes(bool /*selection*/) {}  // default or selection attributes changed
    virtual void SetRedraw(bool /*on*/) {}              // begin/end update

    // Tree view operations.
    virtual void TreeInserted(TreeNode& /*node*/) {}
    virtual void TreeRemoving(TreeNode& /*node*/) {}  // before the node and its subtree go
    virtual void TreeNodeChanged(TreeNode& /*node*/) {}
    virtual void TreeExpanded(TreeNode& /*node*/) {}
    virtual void TreeSelected() {}
};

class Backend {
public:
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;
    virtual ~Backend() = default;

    // Creates the backend object of `control`, whose parent (unless it is a
    // form) already has one. nullptr means the backend keeps no object.
    [[nodiscard]] virtual std::unique_ptr<Peer> CreatePeer(Control& control) = 0;

    // Runs `form`, already shown and marked modal, until its modal result is
    // set and its close is allowed (Form::ConfirmModalClose). The form is
    // hidden again by the caller.
    virtual void RunModal(Application& app, Form& form) = 0;

    // The main loop: returns when the application is terminated.
    virtual void Run(Application& app) = 0;

    // Handles what is pending and returns.
    virtual void ProcessMessages(Application& app) = 0;

    // Shows at once whatever the backend holds back to pace busy work, so
    // that every control shows its latest state, then handles what is pending
    // as ProcessMessages does.
    virtual void Refresh(Application& app) { ProcessMessages(app); }

    // A monotonic clock in milliseconds, by which busy work paces what it
    // shows.
    [[nodiscard]] virtual uint64_t Milliseconds() = 0;

    // Called once when the application is asked to terminate, so that a
    // waiting loop wakes up.
    virtual void Terminating() {}

    // The extent of `text` (bytes in `codePage`) in `font`. Line breaks are
    // CR LF, a lone CR or a lone LF. With `wrapWidth` > 0 lines break between
    // words to fit that width (a word wider than it stands alone and sticks
    // out). Empty text measures 0 wide and one line high.
    [[nodiscard]] virtual Size MeasureText(const Font& font, unsigned codePage, std::string_view text,
                                           int wrapWidth) = 0;

    // What a form's frame (borders and caption bar) adds to its client size.
    [[nodiscard]] virtual Size FrameSize(const Form& form) = 0;

    // The area in which forms are centred, in screen pixels.
    [[nodiscard]] virtual Rect WorkArea() = 0;
};

}  // namespace ui
