#include "ui/Control.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

Control::Control(Control* parent, std::string name, ControlKind kind)
    : kind_(kind), name_(std::move(name)), parent_(parent) {
    switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::RichEdit:
    case ControlKind::TreeView:
        tabStop_ = true;
        break;
    default:
        break;
    }
    switch (kind) {
    case ControlKind::Form:
        parentColor_ = false;
        break;
    case ControlKind::Edit:
    case ControlKind::ComboBox:
    case ControlKind::RichEdit:
    case ControlKind::TreeView:
        color_ = clWindow;
        parentColor_ = false;
        break;
    default:
        break;
    }
    if (parent_ != nullptr) {
        parent_->children_.push_back(this);
        font_ = parent_->font_;
    }
}

Control::~Control() { Detach(); }

void Control::Detach() noexcept {
    // The active control of the form must not outlive this subtree.
    for (Control* p = parent_; p != nullptr; p = p->parent_) {
        if (p->kind_ != ControlKind::Form) continue;
        Form* form = static_cast<Form*>(p);
        for (Control* c = form->activeControl_; c != nullptr; c = c->parent_) {
            if (c == this) {
                form->activeControl_ = nullptr;
                break;
            }
        }
        break;
    }
    // Children that outlive us lose their parent; their backend objects go
    // first, as their windows would die with ours anyway.
    for (Control* child : children_) {
        child->parent_ = nullptr;
        child->DropPeers();
    }
    children_.clear();
    peer_.reset();
    if (parent_ != nullptr) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        parent_ = nullptr;
    }
}

void Control::DropPeers() noexcept {
    for (Control* child : children_) child->DropPeers();
    peer_.reset();
}

Form* Control::ParentForm() const noexcept {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (c->kind_ == ControlKind::Form) return static_cast<Form*>(const_cast<Control*>(c));
    }
    return nullptr;
}

Control* Control::FindControl(std::string_view name) noexcept {
    if (name_ == name) return this;
    for (Control* child : children_) {
        if (Control* found = child->FindControl(name)) return found;
    }
    return nullptr;
}

void Control::SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    // The kind's own state follows first, so that the backend mirrors all of
    // it; a handler that sets the text again leaves its own text shown.
    TextChanged();
    Changed(Aspect::Text);
}

unsigned Control::TextCodePage() const noexcept {
    return textCodePage_ != 0 ? textCodePage_ : CodePageOfCharset(font_.Charset);
}

void Control::SetTextCodePage(unsigned codePage) {
    if (codePage == textCodePage_) return;
    textCodePage_ = codePage;
    Changed(Aspect::Text);
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Changed(Aspect::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Changed(Aspect::Visible);
}

bool Control::Showing() const noexcept {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

bool Control::CanTakeInput() const noexcept {
    for (const Control* c = this; c != nullptr; c = c->parent_) {
        if (!c->enabled_) return false;
        if (c->kind_ != ControlKind::Form && !c->visible_) return false;
    }
    return true;
}

void Control::SetBounds(int left, int top, int width, int height) {
    const ui::Constraints& k = constraints_;
    if (k.MaxWidth > 0) width = std::min(width, k.MaxWidth);
    if (k.MaxHeight > 0) height = std::min(height, k.MaxHeight);
    width = std::max({width, k.MinWidth, 0});
    height = std::max({height, k.MinHeight, 0});
    const Rect next{left, top, width, height};
    if (next == bounds_) return;
    const int dw = width - bounds_.Width;
    const int dh = height - bounds_.Height;
    bounds_ = next;
    Changed(Aspect::Bounds);
    if (dw != 0 || dh != 0) {
        const std::vector<Control*> children = children_;
        for (Control* child : children) child->ParentResized(dw, dh);
    }
}

void Control::ParentResized(int dw, int dh) {
    Rect r = bounds_;
    if (anchors_.Right) {
        if (anchors_.Left) r.Width += dw;
        else r.Left += dw;
    }
    if (anchors_.Bottom) {
        if (anchors_.Top) r.Height += dh;
        else r.Top += dh;
    }
    SetBounds(r.Left, r.Top, r.Width, r.Height);
}

void Control::SetConstraints(ui::Constraints constraints) {
    constraints_ = constraints;
    SetBounds(bounds_.Left, bounds_.Top, bounds_.Width, bounds_.Height);
}

void Control::SetFont(const ui::Font& font) {
    parentFont_ = false;
    if (font == font_) return;
    font_ = font;
    FontEdited();
}

void Control::FontEdited() {
    Changed(Aspect::Font);
    FontChanged();
    const std::vector<Control*> children = children_;
    for (Control* child : children) {
        if (child->parentFont_) child->ApplyInheritedFont(font_);
    }
}

void Control::ApplyInheritedFont(const ui::Font& font) {
    if (font == font_) return;
    font_ = font;
    FontEdited();
}

namespace {

// A copy of `font` with one field changed.
template <class T>
ui::Font WithField(ui::Font font, T ui::Font::*field, std::type_identity_t<T> value) {
    font.*field = std::move(value);
    return font;
}

}  // namespace

void Control::SetFontName(std::string name) { SetFont(WithField(font_, &ui::Font::Name, std::move(name))); }
void Control::SetFontCharset(uint8_t charset) { SetFont(WithField(font_, &ui::Font::Charset, charset)); }
void Control::SetFontSize(int points) { SetFont(WithField(font_, &ui::Font::Size, std::max(points, 1))); }
void Control::SetFontColor(ui::Color colour) { SetFont(WithField(font_, &ui::Font::Colour, colour)); }
void Control::SetFontBold(bool bold) { SetFont(WithField(font_, &ui::Font::Bold, bold)); }

void Control::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    if (parentFont && parent_ != nullptr) ApplyInheritedFont(parent_->font_);
}

ui::Color Control::Color() const noexcept {
    return parentColor_ && parent_ != nullptr ? parent_->Color() : color_;
}

void Control::SetColor(ui::Color colour) {
    if (!parentColor_ && colour == color_) return;
    parentColor_ = false;
    color_ = colour;
    ColorChangedBelow();
}

void Control::SetParentColor(bool parentColor) {
    if (parentColor == parentColor_) return;
    parentColor_ = parentColor;
    ColorChangedBelow();
}

void Control::ColorChangedBelow() const {
    Changed(Aspect::Color);
    for (const Control* child : children_) {
        if (child->parentColor_) child->ColorChangedBelow();
    }
}

int Control::TabOrder() const noexcept {
    if (parent_ == nullptr) return 0;
    const auto& siblings = parent_->children_;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void Control::SetTabOrder(int order) {
    if (parent_ == nullptr) return;
    auto& siblings = parent_->children_;
    const int last = static_cast<int>(siblings.size()) - 1;
    order = std::clamp(order, 0, last);
    const int current = TabOrder();
    if (order == current) return;
    siblings.erase(siblings.begin() + current);
    siblings.insert(siblings.begin() + order, this);
    Changed(Aspect::Order);
}

void Control::SendToBack() {
    if (parent_ != nullptr) SetTabOrder(static_cast<int>(parent_->children_.size()) - 1);
}

void Control::SetTabStop(bool tabStop) {
    if (tabStop == tabStop_) return;
    tabStop_ = tabStop;
    Changed(Aspect::Style);
}

bool Control::GroupedWith(const Control& other) const noexcept {
    return &other != this && parent_ != nullptr && other.parent_ == parent_ && SameGroup(other);
}

bool Control::StartsGroup() const noexcept {
    if (parent_ == nullptr) return true;
    for (const Control* sibling : parent_->children_) {
        if (sibling == this) return true;
        if (GroupedWith(*sibling)) return false;
    }
    return true;
}

bool Control::TabStopNow() const noexcept {
    if (!tabStop_ || parent_ == nullptr) return tabStop_;
    const Control* first = nullptr;
    const Control* firstAvailable = nullptr;
    for (const Control* member : parent_->children_) {
        if (member != this && !GroupedWith(*member)) continue;
        const bool available = member->visible_ && member->enabled_;
        if (available && member->Chosen()) return member == this;
        if (first == nullptr) first = member;
        if (available && firstAvailable == nullptr) firstAvailable = member;
    }
    return this == (firstAvailable != nullptr ? firstAvailable : first);
}

unsigned Control::AccessibleNameCodePage() const noexcept {
    return accessibleNameCodePage_ != 0 ? accessibleNameCodePage_ : TextCodePage();
}

void Control::SetAccessibleName(std::string name, unsigned codePage) {
    if (name == accessibleName_ && codePage == accessibleNameCodePage_) return;
    accessibleName_ = std::move(name);
    accessibleNameCodePage_ = codePage;
    Changed(Aspect::Name);
}

void Control::SetFocus() {
    Form* form = ParentForm();
    if (form == nullptr || form == this || !CanTakeInput()) return;
    form->activeControl_ = this;
    if (peer_) peer_->Focus();
}

bool Control::Focused() const noexcept {
    const Form* form = ParentForm();
    return form != nullptr && form->activeControl_ == this;
}

void Control::FocusReceived() noexcept {
    if (Form* form = ParentForm(); form != nullptr && form != this) form->activeControl_ = this;
}

void Control::Click() {
    if (CanTakeInput()) DoClick();
}

void Control::DoClick() {
    // A copy: the handler may replace the event it runs from.
    if (NotifyEvent handler = OnClick) handler(*this);
}

void Control::Realize() {
    if (!peer_ && (kind_ == ControlKind::Form || (parent_ != nullptr && parent_->peer_))) {
        peer_ = Application::Current().GetBackend().CreatePeer(*this);
    }
    if (!peer_) return;
    const std::vector<Control*> children = children_;
    for (Control* child : children) child->Realize();
}

void Control::Changed(Aspect aspect) const {
    if (peer_) peer_->Update(aspect);
}

}  // namespace ui
