#include "ui/Application.h"

#include "ui/headless/HeadlessBackend.h"

namespace ui {

namespace {
// The innermost live Application; the forms reach their backend through it.
Application* g_current = nullptr;
}  // namespace

Application::Application(Backend& backend) : backend_(backend), previous_(g_current), registered_(true) {
    g_current = this;
}

Application::Application(Backend& backend, DefaultTag) : backend_(backend) {}

Application::~Application() {
    DestroyForms();
    if (registered_) g_current = previous_;
}

Application& Application::Current() noexcept {
    if (g_current != nullptr) return *g_current;
    static headless::HeadlessBackend backend;
    static Application fallback(backend, DefaultTag{});
    return fallback;
}

void Application::DestroyForms() {
    while (!forms_.empty()) {
        std::unique_ptr<Form> form = std::move(forms_.back());
        forms_.pop_back();
        if (auto handler = form->OnDestroy) handler(*form);
        if (mainForm_ == form.get()) mainForm_ = nullptr;
    }
}

void Application::Run(Form& mainForm) {
    mainForm_ = &mainForm;
    if (terminated_) return;
    mainForm.Show();
    if (terminated_) return;
    backend_.Run(*this);
}

void Application::ProcessMessages() { backend_.ProcessMessages(*this); }

void Application::Refresh() { backend_.Refresh(*this); }

void Application::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    backend_.Terminating();
}

int Application::ShowModal(Form& form) {
    if (form.modal_ || form.Visible()) return mrCancel;
    form.modalResult_ = mrNone;
    form.modal_ = true;
    // The form leaves the modal state whatever a handler throws.
    struct Restore {
        Form& f;
        ~Restore() {
            f.modal_ = false;
            f.Hide();
        }
    } restore{form};
    form.Show();
    if (form.Visible() && !terminated_) backend_.RunModal(*this, form);
    if (form.modalResult_ == mrNone) form.modalResult_ = mrCancel;
    return form.modalResult_;
}

}  // namespace ui
