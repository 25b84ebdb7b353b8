#pragma once
// The simple controls. Each keeps its state here; see Control.h for what all
// of them share.
//
// Events follow the conventions program code expects:
// - Click() is a user's click; it is ignored when the control cannot take
//   input.
// - Setting a check box's or radio button's Checked raises OnClick when the
//   state changes, as a click would; setting a speed button's Down raises
//   nothing.
// - Setting an edit box's Text raises OnChange when the text changes; setting
//   a drop-down's ItemIndex raises nothing (only a user's choice does).

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Control.h"

namespace ui {

enum class Bevel : uint8_t { None, Raised, Lowered };

// A container with a background colour, an optional bevel and a centred
// caption.
class Panel : public Control {
public:
    Panel(Control* parent, std::string name);
    [[nodiscard]] ui::Bevel Bevel() const noexcept { return bevel_; }
    void SetBevel(ui::Bevel bevel);

private:
    ui::Bevel bevel_ = ui::Bevel::None;
};

// A framed container whose caption sits in the frame.
class GroupBox : public Control {
public:
    GroupBox(Control* parent, std::string name);
};

// Static text. With AutoSize the label takes the size of its text: the width
// of the longest line and the height of all lines, or with WordWrap the text
// wrapped within the current width (the width then shrinks to the longest
// wrapped line). Empty text measures as one space. A right-aligned label keeps
// its right edge. The size is re-measured when the text, the font, WordWrap
// or AutoSize change; constraints apply after measuring.
class Label : public Control {
public:
    Label(Control* parent, std::string name);

    [[nodiscard]] bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool autoSize);
    [[nodiscard]] bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    [[nodiscard]] ui::Alignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(ui::Alignment alignment);
    [[nodiscard]] VerticalLayout Layout() const noexcept { return layout_; }
    void SetLayout(VerticalLayout layout);

    // Measures again now (AutoSize only).
    void AdjustBounds();

protected:
    void TextChanged() override { AdjustBounds(); }
    void FontChanged() override { AdjustBounds(); }

private:
    bool autoSize_ = true;
    bool wordWrap_ = false;
    ui::Alignment alignment_ = ui::Alignment::Left;
    VerticalLayout layout_ = VerticalLayout::Top;
};

// A push button. A click hands its ModalResult to its form (when non-zero)
// before OnClick runs. Default: Enter presses it; Cancel: Esc presses it.
class Button : public Control {
public:
    Button(Control* parent, std::string name);

    [[nodiscard]] bool Default() const noexcept { return default_; }
    void SetDefault(bool isDefault);
    [[nodiscard]] bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    [[nodiscard]] int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) noexcept { modalResult_ = result; }

    void Click() override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = mrNone;
};

// A button that can stay down, drawn flat or raised, with a glyph left of its
// caption. Buttons of one parent with the same non-zero GroupIndex form a
// group in which at most one is down; a click on an up button puts it down
// (and the others up), a click on the down button releases it only when the
// group allows all up. With GroupIndex 0 a button is never down. Not a Tab
// stop unless made one; such a group is one keyboard group (Control.h).
class SpeedButton : public Control {
public:
    SpeedButton(Control* parent, std::string name);

    [[nodiscard]] int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int index);
    // Shared by the whole group: setting it on one sets it on all.
    [[nodiscard]] bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool allow);
    [[nodiscard]] bool Down() const noexcept { return down_; }
    // Putting a button down puts the rest of its group up. Releasing the down
    // button of a group that does not allow all up is ignored.
    void SetDown(bool down);
    [[nodiscard]] bool Flat() const noexcept { return flat_; }
    void SetFlat(bool flat);
    [[nodiscard]] const Bitmap& Glyph() const noexcept { return glyph_; }
    void SetGlyph(Bitmap glyph);

    void Click() override;
    // Space or Enter on the button: an up button is chosen as a click chooses
    // it; the down button stays down, so the keyboard never leaves a group
    // all up. Ignored unless CanTakeInput.
    void Choose();

protected:
    [[nodiscard]] bool SameGroup(const Control& other) const noexcept override;
    [[nodiscard]] bool Chosen() const noexcept override { return down_; }

private:
    template <class F>
    void ForGroup(F&& f);

    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
    bool flat_ = false;
    Bitmap glyph_;
};

class CheckBox : public Control {
public:
    CheckBox(Control* parent, std::string name);
    [[nodiscard]] bool Checked() const noexcept { return checked_; }
    void SetChecked(bool checked);
    void Click() override;

private:
    bool checked_ = false;
};

// Checking a radio button unchecks its siblings (the radio buttons of the same
// parent) without raising their events.
class RadioButton : public Control {
public:
    RadioButton(Control* parent, std::string name);
    [[nodiscard]] bool Checked() const noexcept { return checked_; }
    void SetChecked(bool checked);
    void Click() override;

protected:
    // The radio buttons of one parent are one keyboard group.
    [[nodiscard]] bool SameGroup(const Control& other) const noexcept override {
        return other.Kind() == ControlKind::RadioButton;
    }
    [[nodiscard]] bool Chosen() const noexcept override { return checked_; }

private:
    bool checked_ = false;
};

// A one-line edit box. The backend reports typing through UserEdited.
class Edit : public Control {
public:
    Edit(Control* parent, std::string name);

    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);

    NotifyEvent OnChange;

    // The user typed: the backend hands over the box's whole text, already in
    // the control's code page. Raises OnChange when it differs.
    void UserEdited(std::string text);

protected:
    void TextChanged() override;

private:
    bool readOnly_ = false;
};

// A drop-down list (the user can only pick an item). Text is the selected
// item's text, empty when none is selected.
class ComboBox : public Control {
public:
    ComboBox(Control* parent, std::string name);

    [[nodiscard]] const std::vector<std::string>& Items() const noexcept { return items_; }
    void AddItem(std::string item);
    void SetItems(std::vector<std::string> items);
    // Empties the list and the selection.
    void ClearItems();
    // -1 when nothing is selected. Values outside the list select nothing.
    [[nodiscard]] int ItemIndex() const noexcept { return itemIndex_; }
    void SetItemIndex(int index);
    [[nodiscard]] std::string SelectedText() const;

    NotifyEvent OnChange;

    // The user picked an item (headless tests call this as the user would).
    // Raises OnChange when the selection changes; ignored unless the box can
    // take input or for an index outside the list.
    void UserSelect(int index);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// A progress gauge. Progress stays within Min..Max; a range set with Min
// above Max is narrowed to the value just set.
class Gauge : public Control {
public:
    Gauge(Control* parent, std::string name);

    [[nodiscard]] int32_t Min() const noexcept { return min_; }
    [[nodiscard]] int32_t Max() const noexcept { return max_; }
    [[nodiscard]] int32_t Progress() const noexcept { return progress_; }
    void SetMin(int32_t value);
    void SetMax(int32_t value);
    void SetProgress(int32_t value);
    void AddProgress(int32_t delta);
    // 0..100, truncated; 0 for an empty range.
    [[nodiscard]] int PercentDone() const noexcept;

private:
    int32_t min_ = 0;
    int32_t max_ = 100;
    int32_t progress_ = 0;
};

// A picture; with Stretch it is scaled to the control's size.
class Image : public Control {
public:
    Image(Control* parent, std::string name);

    [[nodiscard]] const Bitmap& Picture() const noexcept { return picture_; }
    void SetPicture(Bitmap picture);
    [[nodiscard]] bool Stretch() const noexcept { return stretch_; }
    void SetStretch(bool stretch);

private:
    Bitmap picture_;
    bool stretch_ = false;
};

}  // namespace ui
