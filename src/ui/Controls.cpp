#include "ui/Controls.h"

#include <algorithm>
#include <limits>

#include "ui/Form.h"
#include "ui/Measure.h"

namespace ui {

Panel::Panel(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::Panel) {
    SetBounds(0, 0, 185, 41);
}

void Panel::SetBevel(ui::Bevel bevel) {
    if (bevel == bevel_) return;
    bevel_ = bevel;
    Changed(Aspect::Style);
}

GroupBox::GroupBox(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::GroupBox) {
    SetBounds(0, 0, 185, 105);
}

// ---- Label ----

Label::Label(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::Label) {
    AdjustBounds();
}

void Label::AdjustBounds() {
    if (!autoSize_) return;
    // An empty label keeps the height of a line, so that it can be found and
    // laid out before it gets its text.
    const std::string_view text = Text().empty() ? std::string_view(" ") : std::string_view(Text());
    const Size size = wordWrap_ ? MeasureWrappedText(*this, text, Width()) : MeasureText(*this, text);
    const int right = Left() + Width();
    SetBounds(Left(), Top(), size.cx, size.cy);
    if (alignment_ == ui::Alignment::Right) SetLeft(right - Width());
}

void Label::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustBounds();
}

void Label::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_) return;
    wordWrap_ = wordWrap;
    Changed(Aspect::Style);
    AdjustBounds();
}

void Label::SetAlignment(ui::Alignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Changed(Aspect::Style);
}

void Label::SetLayout(VerticalLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Changed(Aspect::Style);
}

// ---- Button ----

Button::Button(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::Button) {
    SetBounds(0, 0, 75, 25);
}

void Button::SetDefault(bool isDefault) {
    if (isDefault == default_) return;
    default_ = isDefault;
    Changed(Aspect::Style);
}

void Button::Click() {
    if (!CanTakeInput()) return;
    if (modalResult_ != mrNone) {
        if (Form* form = ParentForm()) form->SetModalResult(modalResult_);
    }
    DoClick();
}

// ---- SpeedButton ----

SpeedButton::SpeedButton(Control* parent, std::string name)
    : Control(parent, std::move(name), ControlKind::SpeedButton) {
    SetBounds(0, 0, 23, 22);
}

template <class F>
void SpeedButton::ForGroup(F&& f) {
    if (Parent() == nullptr || groupIndex_ == 0) return;
    for (Control* c : Parent()->Children()) {
        if (c == this || c->Kind() != ControlKind::SpeedButton) continue;
        auto* other = static_cast<SpeedButton*>(c);
        if (other->groupIndex_ == groupIndex_) f(*other);
    }
}

void SpeedButton::SetGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = index;
    // Joining a group adopts its rule and keeps it at one button down.
    bool adopted = false;
    ForGroup([&](SpeedButton& other) {
        if (!adopted) allowAllUp_ = other.allowAllUp_;
        adopted = true;
        if (down_ && other.down_) {
            other.down_ = false;
            other.Changed(Aspect::State);
        }
    });
    if (groupIndex_ == 0 && down_) {
        down_ = false;
        Changed(Aspect::State);
    }
}

void SpeedButton::SetAllowAllUp(bool allow) {
    allowAllUp_ = allow;
    ForGroup([&](SpeedButton& other) { other.allowAllUp_ = allow; });
}

void SpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0) down = false;
    if (down == down_) return;
    if (!down && !allowAllUp_) return;
    down_ = down;
    Changed(Aspect::State);
    if (down) {
        ForGroup([](SpeedButton& other) {
            if (!other.down_) return;
            other.down_ = false;
            other.Changed(Aspect::State);
        });
    }
}

void SpeedButton::SetFlat(bool flat) {
    if (flat == flat_) return;
    flat_ = flat;
    Changed(Aspect::Style);
}

void SpeedButton::SetGlyph(Bitmap glyph) {
    glyph_ = std::move(glyph);
    Changed(Aspect::Picture);
}

void SpeedButton::Click() {
    if (!CanTakeInput()) return;
    if (groupIndex_ != 0) SetDown(!down_);
    DoClick();
}

void SpeedButton::Choose() {
    if (groupIndex_ != 0 && down_) return;
    Click();
}

bool SpeedButton::SameGroup(const Control& other) const noexcept {
    return groupIndex_ != 0 && other.Kind() == ControlKind::SpeedButton &&
           static_cast<const SpeedButton&>(other).groupIndex_ == groupIndex_;
}

// ---- CheckBox, RadioButton ----

CheckBox::CheckBox(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::CheckBox) {
    SetBounds(0, 0, 97, 17);
}

void CheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Changed(Aspect::State);
    DoClick();
}

void CheckBox::Click() {
    if (CanTakeInput()) SetChecked(!checked_);
}

RadioButton::RadioButton(Control* parent, std::string name)
    : Control(parent, std::move(name), ControlKind::RadioButton) {
    SetBounds(0, 0, 113, 17);
}

void RadioButton::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    Changed(Aspect::State);
    if (!checked) return;
    if (Parent() != nullptr) {
        for (Control* c : Parent()->Children()) {
            if (c == this || c->Kind() != ControlKind::RadioButton) continue;
            auto* other = static_cast<RadioButton*>(c);
            if (!other->checked_) continue;
            other->checked_ = false;
            other->Changed(Aspect::State);
        }
    }
    DoClick();
}

void RadioButton::Click() {
    if (CanTakeInput()) SetChecked(true);
}

// ---- Edit ----

Edit::Edit(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::Edit) {
    SetBounds(0, 0, 121, 21);
}

void Edit::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    Changed(Aspect::Style);
}

void Edit::TextChanged() {
    if (NotifyEvent handler = OnChange) handler(*this);
}

void Edit::UserEdited(std::string text) {
    if (text == Text()) return;
    // The window shows this text already; only the state follows.
    TextStorage() = std::move(text);
    TextChanged();
}

// ---- ComboBox ----

ComboBox::ComboBox(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::ComboBox) {
    SetBounds(0, 0, 145, 21);
}

void ComboBox::AddItem(std::string item) {
    items_.push_back(std::move(item));
    Changed(Aspect::Items);
}

void ComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
    Changed(Aspect::Items);
}

void ComboBox::ClearItems() {
    items_.clear();
    itemIndex_ = -1;
    Changed(Aspect::Items);
}

void ComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Changed(Aspect::ItemIndex);
}

std::string ComboBox::SelectedText() const {
    return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
}

void ComboBox::UserSelect(int index) {
    if (!CanTakeInput() || index < 0 || index >= static_cast<int>(items_.size()) || index == itemIndex_) return;
    itemIndex_ = index;
    Changed(Aspect::ItemIndex);
    if (NotifyEvent handler = OnChange) handler(*this);
}

// ---- Gauge ----

Gauge::Gauge(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::Gauge) {
    SetBounds(0, 0, 100, 20);
}

void Gauge::SetMin(int32_t value) {
    min_ = value;
    max_ = std::max(max_, min_);
    progress_ = std::clamp(progress_, min_, max_);
    Changed(Aspect::Progress);
}

void Gauge::SetMax(int32_t value) {
    max_ = value;
    min_ = std::min(min_, max_);
    progress_ = std::clamp(progress_, min_, max_);
    Changed(Aspect::Progress);
}

void Gauge::SetProgress(int32_t value) {
    value = std::clamp(value, min_, max_);
    if (value == progress_) return;
    progress_ = value;
    Changed(Aspect::Progress);
}

void Gauge::AddProgress(int32_t delta) {
    const int64_t sum = int64_t{progress_} + delta;
    SetProgress(static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                         std::numeric_limits<int32_t>::max())));
}

int Gauge::PercentDone() const noexcept {
    if (max_ == min_) return 0;
    return static_cast<int>((int64_t{progress_} - min_) * 100 / (int64_t{max_} - min_));
}

// ---- Image ----

Image::Image(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::Image) {
    SetBounds(0, 0, 105, 105);
}

void Image::SetPicture(Bitmap picture) {
    picture_ = std::move(picture);
    Changed(Aspect::Picture);
}

void Image::SetStretch(bool stretch) {
    if (stretch == stretch_) return;
    stretch_ = stretch;
    Changed(Aspect::Picture);
}

}  // namespace ui
