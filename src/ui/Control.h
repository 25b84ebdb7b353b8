#pragma once
// The base of every control and form: the state that program logic reads and
// writes, and the events it handles. A control object is the truth; the
// backend (see Backend.h) only mirrors it, so reading a property never asks
// the screen.
//
// Ownership: a control is created with its parent and registers itself there;
// the parent does not own it (forms hold their controls as members, declared
// in the order the form shows them). A control must die before its parent;
// if a parent dies first, its children are detached and lose their backend
// objects.
//
// Text: strings are single-byte. A control's text is held in the code page of
// its font's character set (CodePageOfCharset) unless an explicit text code
// page is set; the bytes are returned exactly as they were set.
//
// Order: the order of siblings is both the Tab order and the stacking order;
// the first sibling is on top and first in the Tab order. New controls go to
// the end. BringToFront moves a control to the first place.
//
// Keyboard groups: radio buttons of one parent, and speed buttons of one
// parent that share a GroupIndex, form a group. The keyboard reaches a group
// as one Tab stop, its chosen member (checked, down) or, when none is chosen
// or the chosen one is hidden or disabled, its first visible and enabled
// member; the arrow keys move within it. Members are adjacent siblings.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Backend.h"
#include "ui/Types.h"

namespace ui {

class Form;

enum class ControlKind : uint8_t {
    Form,
    Panel,
    GroupBox,
    Label,
    Button,
    SpeedButton,
    CheckBox,
    RadioButton,
    Edit,
    ComboBox,
    RichEdit,
    TreeView,
    Gauge,
    Image,
};

class Control;
using NotifyEvent = std::function<void(Control& sender)>;

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    [[nodiscard]] ControlKind Kind() const noexcept { return kind_; }
    // The control's name as the program knows it ("btnDalej"); ASCII.
    [[nodiscard]] const std::string& Name() const noexcept { return name_; }
    [[nodiscard]] Control* Parent() const noexcept { return parent_; }
    // Children in Tab and stacking order.
    [[nodiscard]] const std::vector<Control*>& Children() const noexcept { return children_; }
    // The form this control sits on (itself for a form); nullptr when detached.
    [[nodiscard]] Form* ParentForm() const noexcept;
    // This control or the first descendant (depth first) of that name.
    [[nodiscard]] Control* FindControl(std::string_view name) noexcept;

    // Caption and Text are the same bytes under the names the program uses for
    // labels and buttons (Caption) and for edit boxes (Text).
    [[nodiscard]] const std::string& Caption() const noexcept { return text_; }
    void SetCaption(std::string text) { SetText(std::move(text)); }
    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    void SetText(std::string text);

    // The code page of the control's text: the explicit one, else the one of
    // the font's character set. 0 clears the explicit one.
    [[nodiscard]] unsigned TextCodePage() const noexcept;
    // The explicit code page only; 0 when the font decides.
    [[nodiscard]] unsigned ExplicitTextCodePage() const noexcept { return textCodePage_; }
    void SetTextCodePage(unsigned codePage);

    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    virtual void SetVisible(bool visible);
    // Visible together with every ancestor.
    [[nodiscard]] bool Showing() const noexcept;
    // Whether a user could operate the control now: it and its ancestors up to
    // its form are visible and enabled, and so is the form itself except that
    // a hidden form counts (tests drive forms that are not shown).
    [[nodiscard]] bool CanTakeInput() const noexcept;

    [[nodiscard]] int Left() const noexcept { return bounds_.Left; }
    [[nodiscard]] int Top() const noexcept { return bounds_.Top; }
    [[nodiscard]] int Width() const noexcept { return bounds_.Width; }
    [[nodiscard]] int Height() const noexcept { return bounds_.Height; }
    [[nodiscard]] Rect Bounds() const noexcept { return bounds_; }
    // Sizes are clamped to the constraints and to 0. Children follow a change
    // of size by their anchors.
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    // The area children are placed in; a form's excludes its frame.
    [[nodiscard]] virtual int ClientWidth() const noexcept { return bounds_.Width; }
    [[nodiscard]] virtual int ClientHeight() const noexcept { return bounds_.Height; }

    [[nodiscard]] ui::Anchors Anchors() const noexcept { return anchors_; }
    void SetAnchors(ui::Anchors anchors) { anchors_ = anchors; }
    [[nodiscard]] const ui::Constraints& Constraints() const noexcept { return constraints_; }
    void SetConstraints(ui::Constraints constraints);

    // The font in effect. Setting any part of it ends ParentFont; a change
    // reaches every child that has ParentFont.
    [[nodiscard]] const ui::Font& Font() const noexcept { return font_; }
    void SetFont(const ui::Font& font);
    void SetFontName(std::string name);
    void SetFontCharset(uint8_t charset);
    void SetFontSize(int points);
    void SetFontColor(ui::Color colour);
    void SetFontBold(bool bold);
    [[nodiscard]] bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool parentFont);

    // The background colour in effect (the parent's while ParentColor).
    [[nodiscard]] ui::Color Color() const noexcept;
    void SetColor(ui::Color colour);
    [[nodiscard]] bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool parentColor);

    [[nodiscard]] int TabOrder() const noexcept;
    void SetTabOrder(int order);
    [[nodiscard]] bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool tabStop);
    // Whether `other` is in this control's keyboard group.
    [[nodiscard]] bool GroupedWith(const Control& other) const noexcept;
    // Whether a group begins here for the arrow keys: no earlier sibling is
    // in this control's group (true for a control in no group).
    [[nodiscard]] bool StartsGroup() const noexcept;
    // Whether Tab stops here, as far as the control's own choice goes: a Tab
    // stop that is not a group member other than its group's Tab stop.
    // Whether it can take input now is left to the one who moves the focus.
    [[nodiscard]] bool TabStopNow() const noexcept;
    void BringToFront() { SetTabOrder(0); }
    void SendToBack();

    // Makes this the active control of its form (the backend moves the focus
    // there when the form is shown). Ignored when the control cannot take
    // input: the program may ask for the focus on a page being set up.
    void SetFocus();
    [[nodiscard]] bool Focused() const noexcept;

    // A click as the user gives it: ignored unless CanTakeInput. Kinds with
    // state (check box, radio button, speed button) change it first.
    virtual void Click();
    NotifyEvent OnClick;

    // What a screen reader calls the control, as bytes in
    // AccessibleNameCodePage(). Empty: the caption, for the kinds that show
    // one (buttons, check boxes, radio buttons, labels, panels, group boxes);
    // the other kinds then get the name the system finds for them. A picture
    // without a name carries no information and is hidden from screen
    // readers.
    [[nodiscard]] const std::string& AccessibleName() const noexcept { return accessibleName_; }
    // The code page given with the name; else the text's.
    [[nodiscard]] unsigned AccessibleNameCodePage() const noexcept;
    void SetAccessibleName(std::string name, unsigned codePage = 0);

    // ---- for backends ----
    [[nodiscard]] Peer* GetPeer() const noexcept { return peer_.get(); }
    // Creates the backend objects of this control and its descendants where
    // missing (a control whose parent has none gets none). Forms do it when
    // shown; a control added to a form that is showing appears once it or
    // the form is realized (Form::Show does it again).
    void Realize();
    // The backend reports that the control received the keyboard focus.
    void FocusReceived() noexcept;

protected:
    Control(Control* parent, std::string name, ControlKind kind);

    void Changed(Aspect aspect) const;
    // The text without notifying anyone, for kinds that mirror their edits to
    // the backend themselves.
    [[nodiscard]] std::string& TextStorage() noexcept { return text_; }
    // Raises OnClick.
    void DoClick();
    // Hooks for kinds that follow their text or font (labels size themselves,
    // edit boxes raise OnChange).
    virtual void TextChanged() {}
    virtual void FontChanged() {}
    // Hooks for the kinds that form keyboard groups: whether `other` (a
    // sibling) belongs to this one's group, and whether this member is the
    // chosen one.
    [[nodiscard]] virtual bool SameGroup(const Control& /*other*/) const noexcept { return false; }
    [[nodiscard]] virtual bool Chosen() const noexcept { return false; }

private:
    void ApplyInheritedFont(const ui::Font& font);
    void ColorChangedBelow() const;
    void ParentResized(int dw, int dh);
    void Detach() noexcept;
    void DropPeers() noexcept;
    void FontEdited();

    const ControlKind kind_;
    const std::string name_;
    Control* parent_;
    std::vector<Control*> children_;
    std::unique_ptr<Peer> peer_;

    std::string text_;
    unsigned textCodePage_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    Rect bounds_;
    ui::Anchors anchors_;
    ui::Constraints constraints_;
    ui::Font font_;
    bool parentFont_ = true;
    ui::Color color_ = clBtnFace;
    bool parentColor_ = true;
    bool tabStop_ = false;
    std::string accessibleName_;
    unsigned accessibleNameCodePage_ = 0;
};

}  // namespace ui
