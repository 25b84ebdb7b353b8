#pragma once
// A form: a top-level window with its controls. Program forms derive from it
// and hold their controls as members, constructed with the form (or one of its
// panels) as parent.
//
// Geometry: Left/Top/Width/Height of a form are its outer bounds on the
// screen; ClientWidth/ClientHeight exclude the frame, whose size the backend
// knows. Setting the client size keeps the frame.
//
// Life: Show raises OnShow and then makes the form visible (a form closed
// from its OnShow handler is not shown). Close asks OnCloseQuery, then
// OnClose; closing the application's main form terminates the application.
// OnDestroy is raised by Application::DestroyForms for the forms the
// application owns, while the form is still whole.

#include <functional>
#include <string>

#include "ui/Control.h"

namespace ui {

class Button;

enum class BorderStyle : uint8_t {
    None,
    Single,    // fixed size, thin frame
    Sizeable,  // resizable frame
    Dialog,    // fixed size, dialog frame
};

struct BorderIcons {
    bool SystemMenu = true;  // also gives the close box
    bool Minimize = true;
    bool Maximize = true;
    friend bool operator==(const BorderIcons&, const BorderIcons&) = default;
};

// Where a form is placed when it is shown.
enum class FormPosition : uint8_t {
    Designed,        // where Left/Top say
    ScreenCenter,    // centred in the work area
    MainFormCenter,  // centred over the application's main form (the screen when there is none)
};

enum class CloseAction : uint8_t { None, Hide };

class Form : public Control {
public:
    explicit Form(std::string name);
    ~Form() override;

    [[nodiscard]] int ClientWidth() const noexcept override;
    [[nodiscard]] int ClientHeight() const noexcept override;
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetClientSize(int width, int height);

    [[nodiscard]] ui::BorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(ui::BorderStyle style);
    [[nodiscard]] ui::BorderIcons BorderIcons() const noexcept { return borderIcons_; }
    void SetBorderIcons(ui::BorderIcons icons);
    [[nodiscard]] FormPosition Position() const noexcept { return position_; }
    void SetPosition(FormPosition position) { position_ = position; }

    void Show();
    void Hide();
    void SetVisible(bool visible) override;
    // While the form is modal this only sets the modal result mrCancel.
    void Close();
    // A close request from outside the program (the system's close command,
    // a task manager): OnCloseRequest decides when it is set, else Close.
    void RequestClose();

    // Shows the form modally and returns its modal result (mrCancel when it
    // was closed otherwise, or the application terminated meanwhile). Forms
    // that are visible already or modal already return mrCancel at once.
    [[nodiscard]] int ShowModal();
    [[nodiscard]] bool Modal() const noexcept { return modal_; }
    [[nodiscard]] int ModalResult() const noexcept { return modalResult_; }
    // While modal, a non-zero result ends the modal loop.
    void SetModalResult(int result) noexcept { modalResult_ = result; }

    // The control that has (or gets, when the form is shown) the focus.
    [[nodiscard]] Control* ActiveControl() const noexcept { return activeControl_; }

    // Dialog keys: Enter presses the default button, Esc the cancel button,
    // each only when there is one that can take input.
    void PressDefault();
    void PressCancel();
    // Esc on the form while it is modal and has no cancel button: with this
    // set it closes the form (mrCancel), as closing it does; by default it
    // does nothing.
    void SetEscapeCloses(bool closes) noexcept { escapeCloses_ = closes; }
    [[nodiscard]] Button* DefaultButton() const noexcept;
    [[nodiscard]] Button* CancelButton() const noexcept;

    std::function<void(Form&)> OnShow;
    std::function<void(Form&)> OnCloseRequest;
    // The user's session is about to end (logoff, shutdown). A handler that
    // sets `blockReason` (bytes in the form's text code page) asks the system
    // to wait and tells the user why; left empty, the session may end.
    std::function<void(Form&, std::string& blockReason)> OnQueryEndSession;
    // The session ends now: the process may be ended as soon as this returns.
    std::function<void(Form&)> OnEndSession;
    std::function<void(Form&, bool& canClose)> OnCloseQuery;
    std::function<void(Form&, CloseAction& action)> OnClose;
    std::function<void(Form&)> OnDestroy;

    // ---- for backends and the application ----
    // With a modal result set: asks OnCloseQuery and OnClose; true when the
    // form may close, else the modal result is cleared and false returned.
    [[nodiscard]] bool ConfirmModalClose();

private:
    friend class Control;
    friend class Application;

    [[nodiscard]] Size Frame() const;
    void Place();

    ui::BorderStyle borderStyle_ = ui::BorderStyle::Sizeable;
    ui::BorderIcons borderIcons_;
    FormPosition position_ = FormPosition::Designed;
    bool modal_ = false;
    bool escapeCloses_ = false;
    int modalResult_ = mrNone;
    bool closed_ = false;  // set by Close, so that Show notices a close from OnShow
    Control* activeControl_ = nullptr;
};

}  // namespace ui
