#include "ui/Form.h"

#include <algorithm>

#include "ui/Application.h"
#include "ui/Controls.h"

namespace ui {

namespace {

template <class Pred>
Button* FindButton(const Control& root, Pred pred) {
    for (Control* child : root.Children()) {
        if (child->Kind() == ControlKind::Button) {
            auto* button = static_cast<Button*>(child);
            if (pred(*button) && button->CanTakeInput()) return button;
        }
        if (Button* found = FindButton(*child, pred)) return found;
    }
    return nullptr;
}

}  // namespace

Form::Form(std::string name) : Control(nullptr, std::move(name), ControlKind::Form) {
    Control::SetVisible(false);
    SetBounds(0, 0, 320, 240);
}

Form::~Form() {
    Application& app = Application::Current();
    if (app.MainForm() == this) app.SetMainForm(nullptr);
}

Size Form::Frame() const { return Application::Current().GetBackend().FrameSize(*this); }

int Form::ClientWidth() const noexcept { return std::max(Width() - Frame().cx, 0); }
int Form::ClientHeight() const noexcept { return std::max(Height() - Frame().cy, 0); }

void Form::SetClientWidth(int width) { SetWidth(width + Frame().cx); }
void Form::SetClientHeight(int height) { SetHeight(height + Frame().cy); }
void Form::SetClientSize(int width, int height) {
    const Size frame = Frame();
    SetBounds(Left(), Top(), width + frame.cx, height + frame.cy);
}

void Form::SetBorderStyle(ui::BorderStyle style) {
    if (style == borderStyle_) return;
    // The client area is what the form's layout is made for; it stays.
    const int cw = ClientWidth();
    const int ch = ClientHeight();
    borderStyle_ = style;
    Changed(Aspect::Style);
    SetClientSize(cw, ch);
}

void Form::SetBorderIcons(ui::BorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    Changed(Aspect::Style);
}

void Form::Place() {
    Application& app = Application::Current();
    Rect area;
    switch (position_) {
    case FormPosition::Designed:
        return;
    case FormPosition::MainFormCenter: {
        const Form* main = app.MainForm();
        area = main != nullptr && main != this && main->Visible() ? main->Bounds() : app.GetBackend().WorkArea();
        break;
    }
    case FormPosition::ScreenCenter:
        area = app.GetBackend().WorkArea();
        break;
    }
    SetBounds(area.Left + (area.Width - Width()) / 2, area.Top + (area.Height - Height()) / 2, Width(), Height());
}

void Form::Show() {
    if (Visible()) {
        // Controls added since the form appeared get their windows now.
        Realize();
        return;
    }
    closed_ = false;
    Realize();
    Place();
    if (auto handler = OnShow) handler(*this);
    // Closed from its own OnShow: it never appears.
    if (closed_) return;
    Control::SetVisible(true);
}

void Form::Hide() { Control::SetVisible(false); }

void Form::SetVisible(bool visible) {
    if (visible) Show();
    else Hide();
}

void Form::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    bool canClose = true;
    if (auto handler = OnCloseQuery) handler(*this, canClose);
    if (!canClose) return;
    CloseAction action = CloseAction::Hide;
    if (auto handler = OnClose) handler(*this, action);
    if (action == CloseAction::None) return;
    closed_ = true;
    Hide();
    Application& app = Application::Current();
    if (app.MainForm() == this) app.Terminate();
}

void Form::RequestClose() {
    if (auto handler = OnCloseRequest) handler(*this);
    else Close();
}

int Form::ShowModal() { return Application::Current().ShowModal(*this); }

bool Form::ConfirmModalClose() {
    if (modalResult_ == mrNone) return false;
    bool canClose = true;
    if (auto handler = OnCloseQuery) handler(*this, canClose);
    CloseAction action = CloseAction::Hide;
    if (canClose) {
        if (auto handler = OnClose) handler(*this, action);
    }
    if (!canClose || action == CloseAction::None) {
        modalResult_ = mrNone;
        return false;
    }
    return true;
}

Button* Form::DefaultButton() const noexcept {
    return FindButton(*this, [](const Button& b) { return b.Default(); });
}

Button* Form::CancelButton() const noexcept {
    return FindButton(*this, [](const Button& b) { return b.Cancel(); });
}

void Form::PressDefault() {
    if (Button* button = DefaultButton()) button->Click();
}

void Form::PressCancel() {
    if (Button* button = CancelButton()) button->Click();
    else if (escapeCloses_ && modal_) modalResult_ = mrCancel;
}

}  // namespace ui
