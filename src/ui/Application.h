#pragma once
// The application object: the backend in use, the main form, the forms the
// program creates up front, the main loop, modal showing and message
// processing for long work.
//
// One Application is current at a time: the last one constructed that is
// still alive (they must be destroyed in reverse order). When none exists, a
// process-wide default over a headless backend is current, so that forms can
// be made and driven in tests without further set-up.
//
// The backend must outlive the Application, and every form must die before
// the backend: declare the backend first, then the Application, then forms.

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/Backend.h"
#include "ui/Form.h"

namespace ui {

class Application {
public:
    explicit Application(Backend& backend);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // Destroys the owned forms first (DestroyForms).
    ~Application();

    [[nodiscard]] static Application& Current() noexcept;
    [[nodiscard]] Backend& GetBackend() const noexcept { return backend_; }

    // Creates a form that the application owns until DestroyForms. The first
    // form created this way becomes the main form.
    template <class T, class... Args>
    T& CreateForm(Args&&... args) {
        static_assert(std::is_base_of_v<Form, T>);
        auto form = std::make_unique<T>(std::forward<Args>(args)...);
        T& ref = *form;
        forms_.push_back(std::move(form));
        if (mainForm_ == nullptr) mainForm_ = &ref;
        return ref;
    }
    // Raises OnDestroy of every owned form and destroys it, the last created
    // first.
    void DestroyForms();

    [[nodiscard]] Form* MainForm() const noexcept { return mainForm_; }
    void SetMainForm(Form* form) noexcept { mainForm_ = form; }

    // Makes `mainForm` the main form, shows it and runs the main loop until
    // the application is terminated (closing the main form does that).
    // Returns at once, showing nothing, when it was terminated before.
    void Run(Form& mainForm);
    // Lets the backend handle what is pending (user input, painting) and
    // returns; long work calls it so that the window stays alive.
    void ProcessMessages();
    // As ProcessMessages, after showing what the backend paces (Backend.h);
    // long work calls it when it ends.
    void Refresh();
    void Terminate();
    [[nodiscard]] bool Terminated() const noexcept { return terminated_; }

    // Form::ShowModal goes through here.
    [[nodiscard]] int ShowModal(Form& form);

private:
    struct DefaultTag {};
    Application(Backend& backend, DefaultTag);

    Backend& backend_;
    Application* previous_ = nullptr;
    bool registered_ = false;
    bool terminated_ = false;
    Form* mainForm_ = nullptr;
    std::vector<std::unique_ptr<Form>> forms_;
};

}  // namespace ui
