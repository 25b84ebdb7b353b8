// The window behind each kind of control. A peer creates its window, mirrors
// the control's state into it and turns the window's notifications into the
// control's user actions. The window's way back to its peer (the registry
// below) is cut when the peer goes and when the window is destroyed.

#include "ui/win32/Internal.h"

#include <richedit.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "sys/text.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/RichEdit.h"
#include "ui/TreeView.h"

namespace ui::win32::detail {

namespace {

class WindowPeer;
class FormPeer;

// Window to peer, for every window of ours that is alive.
std::unordered_map<HWND, WindowPeer*>& Registry() {
    static std::unordered_map<HWND, WindowPeer*> registry;
    return registry;
}

WindowPeer* PeerOf(HWND hwnd) noexcept {
    if (hwnd == nullptr) return nullptr;
    auto& registry = Registry();
    auto it = registry.find(hwnd);
    return it == registry.end() ? nullptr : it->second;
}

// Control ids start above IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Esc.
constexpr int kFirstId = 100;
// Room for the list of a drop-down below its selection field.
constexpr int kDropDownHeight = 200;

class WindowPeer : public Peer {
public:
    WindowPeer(Context& context, Control& control) : context_(context), control_(&control) {}

    ~WindowPeer() override {
        // Nothing the window says while it is destroyed reaches the control.
        control_ = nullptr;
        if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    }

    void Create();

    [[nodiscard]] HWND Hwnd() const noexcept { return hwnd_; }
    [[nodiscard]] int Id() const noexcept { return id_; }
    [[nodiscard]] bool Attached() const noexcept { return control_ != nullptr; }
    // Only while attached.
    [[nodiscard]] Control& Target() const noexcept { return *control_; }
    [[nodiscard]] virtual bool IsForm() const noexcept { return false; }

    void Update(Aspect aspect) override {
        if (hwnd_ == nullptr || control_ == nullptr) return;
        if (Paced(aspect) && Postpone(aspect)) return;
        Apply(aspect);
    }

    // Shows a postponed change once its interval has passed, or at once when
    // forced. True when nothing of this peer is left postponed.
    bool ShowPostponed(bool force) {
        if (!postponed_) return true;
        if (!force && !IntervalPassed()) return false;
        postponed_ = false;
        shownAt_ = GetTickCount();
        if (hwnd_ != nullptr && control_ != nullptr) Apply(postponedAspect_);
        return true;
    }

    void Apply(Aspect aspect) {
        WindowsChanged();
        Control& c = *control_;
        switch (aspect) {
        case Aspect::Text:
            ApplyText();
            break;
        case Aspect::Bounds:
            ApplyBounds();
            break;
        case Aspect::Enabled: {
            const bool handOn = !c.Enabled() && HoldsFocus();
            EnableWindow(hwnd_, c.Enabled() ? TRUE : FALSE);
            if (handOn) FocusElsewhere();
            break;
        }
        case Aspect::Visible: {
            const bool handOn = !c.Visible() && HoldsFocus();
            ApplyVisible();
            if (handOn) FocusElsewhere();
            break;
        }
        case Aspect::Font:
            SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(context_.FontFor(c.Font(), Dpi())), TRUE);
            // The character set may have moved the text to another code page.
            ApplyText();
            break;
        case Aspect::Color:
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case Aspect::Order:
            ApplyOrder();
            break;
        case Aspect::Style: {
            const LONG_PTR kept = GetWindowLongPtrW(hwnd_, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
            const LONG_PTR style = (static_cast<LONG_PTR>(FullStyle()) & ~LONG_PTR{WS_VISIBLE | WS_DISABLED}) | kept;
            SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
            SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>(ExStyle()));
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        }
        case Aspect::Name:
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
            break;
        default:
            break;
        }
        ApplyKind(aspect);
        switch (aspect) {
        case Aspect::State:
        case Aspect::Enabled:
        case Aspect::Visible:
        case Aspect::Order:
        case Aspect::Style:
            KeyboardStylesOfSiblings();
            break;
        default:
            break;
        }
    }

    // The Tab stop and group marks of this window and its siblings, as the
    // controls give them: a change of one group member can move its group's
    // Tab stop, and a radio button's window sets its own mark on a check.
    void KeyboardStylesOfSiblings() {
        const Control* parent = control_ != nullptr ? control_->Parent() : nullptr;
        if (parent == nullptr) return;
        for (const Control* sibling : parent->Children()) {
            if (auto* peer = static_cast<WindowPeer*>(sibling->GetPeer())) peer->ApplyKeyboardStyle();
        }
    }

    // The system's colours or its high-contrast setting changed.
    void ColoursChanged() {
        if (hwnd_ != nullptr && control_ != nullptr) ApplyKind(Aspect::Color);
    }

    // The window shown again at its form's resolution, after that changed.
    void Rescale() {
        if (hwnd_ == nullptr || control_ == nullptr) return;
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(context_.FontFor(control_->Font(), Dpi())), FALSE);
        if (!IsForm()) ApplyBounds();
        for (Aspect aspect : {Aspect::Font, Aspect::Picture, Aspect::Style}) ApplyKind(aspect);
        InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void Focus() override {
        WindowsChanged();
        if (hwnd_ != nullptr && GetActiveWindow() == GetAncestor(hwnd_, GA_ROOT)) SetFocus(hwnd_);
    }

    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCDESTROY) {
            HWND hwnd = hwnd_;
            WNDPROC original = original_;
            Cleanup();
            return CallWindowProcW(original, hwnd, msg, wParam, lParam);
        }
        if (control_ == nullptr) return Default(msg, wParam, lParam);
        return HandleAttached(msg, wParam, lParam);
    }

    // What the window tells its parent about itself, routed back here.
    virtual void Command(WORD /*code*/) {}
    virtual LRESULT Notify(const NMHDR& /*header*/) { return 0; }
    virtual HBRUSH CtlColor(HDC /*dc*/) { return nullptr; }
    virtual void DrawItem(DRAWITEMSTRUCT& /*item*/) {}

protected:
    // Messages while the control is alive. Containers route their children's
    // notifications to the children's peers.
    virtual LRESULT HandleAttached(UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_COMMAND:
            if (WindowPeer* child = PeerOf(reinterpret_cast<HWND>(lParam)); child != nullptr && child != this) {
                if (child->Attached()) child->Command(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (WindowPeer* child = PeerOf(header->hwndFrom); child != nullptr && child != this) {
                return child->Attached() ? child->Notify(*header) : 0;
            }
            break;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            if (WindowPeer* child = PeerOf(reinterpret_cast<HWND>(lParam)); child != nullptr && child->Attached()) {
                if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wParam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            break;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (WindowPeer* child = PeerOf(item->hwndItem); child != nullptr && child->Attached()) {
                child->DrawItem(*item);
                return TRUE;
            }
            break;
        }
        case WM_SETFOCUS:
            control_->FocusReceived();
            break;
        case WM_CHANGEUISTATE:
        case WM_UPDATEUISTATE: {
            // The focus stays shown whatever the system's keyboard cues say:
            // a request to hide it keeps only its other parts.
            const WORD action = LOWORD(wParam);
            if (action != UIS_SET && action != UIS_INITIALIZE) break;
            // Initialising nothing in particular initialises both cues.
            WORD cues = HIWORD(wParam) != 0 ? HIWORD(wParam) : static_cast<WORD>(UISF_HIDEFOCUS | UISF_HIDEACCEL);
            cues &= static_cast<WORD>(~UISF_HIDEFOCUS);
            if (cues == 0) return 0;
            wParam = MAKEWPARAM(action, cues);
            break;
        }
        case WM_GETOBJECT:
            // Compared as 32 bits: 64-bit systems may extend the sign.
            if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
                if (const LRESULT object = AccessibleObjectFor(hwnd_, wParam)) return object;
            }
            break;
        default:
            break;
        }
        return Default(msg, wParam, lParam);
    }


    // Changes that may come faster than the window can show them (a file name
    // per file, a position per block of a copy). Under Wine each one repaints
    // at once, which would cost a copy most of its speed, so they are shown
    // at most once an interval; the last one always is.
    [[nodiscard]] virtual bool Paced(Aspect /*aspect*/) const { return false; }

    [[nodiscard]] virtual const wchar_t* ClassName() = 0;
    [[nodiscard]] virtual DWORD KindStyle() const { return 0; }
    [[nodiscard]] virtual DWORD ExStyle() const { return 0; }
    [[nodiscard]] virtual std::wstring InitialText() const { return Wide(control_->Text()); }
    // Fills the new window with what the control holds beyond its text.
    virtual void Created() {}
    virtual void ApplyText() {
        const std::wstring text = Wide(control_->Text());
        updating_ = true;
        SetWindowTextW(hwnd_, text.c_str());
        updating_ = false;
    }
    virtual void ApplyVisible() { ShowWindow(hwnd_, control_->Visible() ? SW_SHOWNA : SW_HIDE); }
    virtual void ApplyKind(Aspect /*aspect*/) {}
    // In pixels at the window's resolution; controls keep design units.
    [[nodiscard]] virtual Rect WindowBounds() const { return Scaled(control_->Bounds()); }

    void ApplyBounds() {
        const Rect b = WindowBounds();
        SetWindowPos(hwnd_, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    [[nodiscard]] DWORD FullStyle() const {
        const Control& c = *control_;
        DWORD style = KindStyle();
        if (c.Kind() != ControlKind::Form) style |= WS_CHILD | WS_CLIPSIBLINGS | KeyboardStyle();
        if (c.Visible()) style |= WS_VISIBLE;
        if (!c.Enabled()) style |= WS_DISABLED;
        return style;
    }

    // A child's marks for the dialog manager: a Tab stop, and where a group
    // begins for the arrow keys (every control outside a group is one).
    [[nodiscard]] DWORD KeyboardStyle() const {
        return (control_->TabStopNow() ? WS_TABSTOP : 0) | (control_->StartsGroup() ? WS_GROUP : 0);
    }

    void ApplyKeyboardStyle() {
        if (hwnd_ == nullptr || control_ == nullptr || IsForm()) return;
        const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        const LONG_PTR wanted = (style & ~LONG_PTR{WS_TABSTOP | WS_GROUP}) | static_cast<LONG_PTR>(KeyboardStyle());
        if (wanted != style) SetWindowLongPtrW(hwnd_, GWL_STYLE, wanted);
    }

    // Whether the keyboard focus is on this window or inside it.
    [[nodiscard]] bool HoldsFocus() const noexcept {
        HWND focus = GetFocus();
        return focus != nullptr && (focus == hwnd_ || IsChild(hwnd_, focus) != FALSE);
    }

    // The focus this window held goes to its form's first Tab stop (else to
    // the form), so that the keyboard never stays with what cannot take it.
    void FocusElsewhere();

    // The resolution of the form the window belongs to.
    [[nodiscard]] virtual int Dpi() const;
    [[nodiscard]] int Px(int design) const { return ToPixels(design, Dpi()); }
    // Each length scaled on its own, so that a measured text keeps its room.
    [[nodiscard]] Rect Scaled(Rect r) const { return {Px(r.Left), Px(r.Top), Px(r.Width), Px(r.Height)}; }

    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcW(original_, hwnd_, msg, wParam, lParam);
    }

    [[nodiscard]] std::wstring Wide(std::string_view text) const {
        return sys::ToWide(text, control_->TextCodePage());
    }

    // The colours the control is drawn in: its own, or in high contrast one
    // of the system's pairs, chosen by its background (a face stays a face,
    // anything else is a window).
    [[nodiscard]] Color ShownBackground() const {
        const Color own = control_->Color();
        if (!context_.HighContrast()) return own;
        return own == clBtnFace ? clBtnFace : clWindow;
    }
    [[nodiscard]] Color ShownText() const {
        if (!context_.HighContrast()) return control_->Font().Colour;
        return ShownBackground() == clBtnFace ? clBtnText : clWindowText;
    }

    // The text and background colours of a control that shows its text on
    // its own background (labels, check boxes, radio buttons).
    HBRUSH PaintColours(HDC dc) {
        SetTextColor(dc, Context::ToColorRef(ShownText()));
        SetBkColor(dc, Context::ToColorRef(ShownBackground()));
        SetBkMode(dc, OPAQUE);
        return context_.BrushFor(ShownBackground());
    }

    void FillBackground(HDC dc) {
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(dc, &r, context_.BrushFor(ShownBackground()));
    }

    template <class T>
    [[nodiscard]] T& As() const {
        return static_cast<T&>(*control_);
    }

    Context& context_;
    Control* control_;
    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
    int id_ = 0;
    FormPeer* form_ = nullptr;
    // Set while the peer itself changes the window, so that the window's
    // echo of that change is not taken for a user's action.
    bool updating_ = false;

private:
    void ApplyOrder();
    void Cleanup() noexcept;
    [[nodiscard]] bool IntervalPassed() const noexcept { return GetTickCount() - shownAt_ >= kPaceInterval; }
    bool Postpone(Aspect aspect);

    // Only one aspect of a peer is ever paced.
    Aspect postponedAspect_ = Aspect::Text;
    bool postponed_ = false;
    DWORD shownAt_ = 0;
};

// Windows with a change waiting to be shown. A window destroyed meanwhile
// is no longer in the registry and is passed over.
std::vector<HWND>& Postponed() {
    static std::vector<HWND> postponed;
    return postponed;
}

bool WindowPeer::Postpone(Aspect aspect) {
    if (!postponed_ && IntervalPassed()) {
        shownAt_ = GetTickCount();
        return false;
    }
    if (!postponed_) Postponed().push_back(hwnd_);
    postponed_ = true;
    postponedAspect_ = aspect;
    return true;
}

class FormPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

    [[nodiscard]] bool IsForm() const noexcept override { return true; }
    [[nodiscard]] int FormDpi() const noexcept { return dpi_; }

    int Register(WindowPeer* peer) {
        const int id = nextId_++;
        ids_[id] = peer;
        return id;
    }
    void Unregister(int id) noexcept { ids_.erase(id); }

    void Update(Aspect aspect) override {
        // A move the window made itself is already where the form says.
        if (aspect == Aspect::Bounds && syncing_) return;
        WindowPeer::Update(aspect);
    }

    // Every window of this form drawn again in the colours of now.
    void Repaint() {
        if (hwnd_ == nullptr || control_ == nullptr) return;
        RepaintTree(*control_);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    }

protected:
    const wchar_t* ClassName() override { return kFormClass; }
    DWORD KindStyle() const override { return StylesOf(As<Form>()).style; }
    DWORD ExStyle() const override { return StylesOf(As<Form>()).exStyle; }
    int Dpi() const override { return dpi_; }

    // The client area is the layout's, scaled; the frame is the system's at
    // this resolution.
    Rect WindowBounds() const override {
        const Form& form = As<Form>();
        RECT r{0, 0, Px(form.ClientWidth()), Px(form.ClientHeight())};
        const FormStyles s = StylesOf(form);
        sys::Ignore(dpi::AdjustRect(r, s.style, s.exStyle, dpi_), "either way the frame is the one shown");
        return {Px(form.Left()), Px(form.Top()), static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
    }

    // A window placed on a monitor of another resolution than the system's.
    void Created() override {
        const int actual = dpi::OfWindow(hwnd_);
        if (actual == dpi_) return;
        dpi_ = actual;
        ApplyBounds();
    }

    void ApplyVisible() override {
        if (control_->Visible()) {
            ShowWindow(hwnd_, SW_SHOW);
            SetForegroundWindow(hwnd_);
        } else {
            ShowWindow(hwnd_, SW_HIDE);
        }
    }

    LRESULT HandleAttached(UINT msg, WPARAM wParam, LPARAM lParam) override {
        Form& form = As<Form>();
        switch (msg) {
        case WM_CLOSE:
            // While a dialog of ours is up, that dialog is to be answered.
            if (IsWindowEnabled(hwnd_)) form.RequestClose();
            return 0;
        case WM_QUERYENDSESSION: {
            std::string reason;
            if (auto handler = form.OnQueryEndSession) handler(form, reason);
            SetBlockReason(reason);
            return reason.empty() ? TRUE : FALSE;
        }
        case WM_ENDSESSION:
            if (wParam == FALSE) {
                SetBlockReason({});
            } else if (auto handler = form.OnEndSession) {
                handler(form);
            }
            return 0;
        case DM_GETDEFID:
            // Enter presses the push button that has the focus, as in any
            // dialog, else the default one.
            if (Button* button = FocusedButton() ? FocusedButton() : form.DefaultButton()) {
                if (auto* peer = static_cast<WindowPeer*>(button->GetPeer())) return MAKELRESULT(peer->Id(), DC_HASDEFID);
            }
            return 0;
        case WM_COMMAND:
            if (lParam == 0) {
                const WORD id = LOWORD(wParam);
                if (id == IDOK) {
                    form.PressDefault();
                    return 0;
                }
                if (id == IDCANCEL) {
                    form.PressCancel();
                    return 0;
                }
                if (auto it = ids_.find(id); it != ids_.end() && it->second->Attached()) {
                    it->second->Command(HIWORD(wParam));
                    return 0;
                }
            }
            break;
        case WM_ACTIVATE:
            // The focus goes to the active control, not to the form itself.
            if (LOWORD(wParam) != WA_INACTIVE && FocusActiveControl()) return 0;
            break;
        case WM_ERASEBKGND:
            FillBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_WINDOWPOSCHANGED:
            FollowUserMove();
            break;
        case WM_DPICHANGED:
            ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NEXTDLGCTL: {
            // What the dialog manager asks of a dialog, asked of this form
            // too (an arrow key between flags): the window itself, or the
            // next or previous Tab stop.
            const bool byTab = LOWORD(lParam) == 0;
            HWND target = byTab ? GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0) : reinterpret_cast<HWND>(wParam);
            if (target == nullptr || IsChild(hwnd_, target) == FALSE) return 0;
            SetFocus(target);
            if (byTab && (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
                SendMessageW(target, EM_SETSEL, 0, -1);
            return 0;
        }
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETHIGHCONTRAST) {
                context_.SetHighContrast(Context::SystemHighContrast());
                RepaintAll();
            }
            break;
        case WM_SYSCOLORCHANGE:
            // The common controls keep colours of their own; they learn of a
            // change only from their parent.
            EnumChildWindows(hwnd_, &ForwardColourChange, 0);
            RepaintAll();
            break;
        default:
            break;
        }
        return WindowPeer::HandleAttached(msg, wParam, lParam);
    }

private:
    static BOOL CALLBACK ForwardColourChange(HWND child, LPARAM) {
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
        return TRUE;
    }

    static void RepaintTree(Control& control) {
        if (auto* peer = static_cast<WindowPeer*>(control.GetPeer())) peer->ColoursChanged();
        for (Control* child : control.Children()) RepaintTree(*child);
    }

    // The reason the system shows for a session kept from ending; empty
    // withdraws it. The calls exist from Windows Vista on.
    void SetBlockReason(const std::string& reason) {
        using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
        using Destroy = BOOL(WINAPI*)(HWND);
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 == nullptr) return;
        if (!reason.empty()) {
            if (auto create = reinterpret_cast<Create>(
                    reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonCreate")))) {
                create(hwnd_, Wide(reason).c_str());
            }
        } else if (auto destroy = reinterpret_cast<Destroy>(
                       reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonDestroy")))) {
            destroy(hwnd_);
        }
    }

    [[nodiscard]] Button* FocusedButton() const {
        WindowPeer* focused = PeerOf(GetFocus());
        if (focused == nullptr || !focused->Attached() || focused->Target().ParentForm() != control_) return nullptr;
        Control& control = focused->Target();
        return control.Kind() == ControlKind::Button && control.CanTakeInput() ? &static_cast<Button&>(control)
                                                                                : nullptr;
    }

    [[nodiscard]] bool FocusActiveControl() {
        HWND target = nullptr;
        if (Control* active = As<Form>().ActiveControl()) {
            HWND h = WindowOf(*active);
            if (h != nullptr && IsWindowVisible(h) && IsWindowEnabled(h)) target = h;
        }
        if (target == nullptr) target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (target == nullptr) return false;
        SetFocus(target);
        return true;
    }

    // The user moved or resized the window: the form's bounds follow, in
    // design units. What the scaling rounded is not taken for a change.
    void FollowUserMove() {
        if (syncing_ || IsIconic(hwnd_) || !IsWindowVisible(hwnd_)) return;
        RECT r;
        if (!GetWindowRect(hwnd_, &r)) return;
        const Rect shown = WindowBounds();
        Rect next = control_->Bounds();
        if (r.left != shown.Left) next.Left = MulDiv(r.left, kDesignDpi, dpi_);
        if (r.top != shown.Top) next.Top = MulDiv(r.top, kDesignDpi, dpi_);
        next.Width += MulDiv(static_cast<int>(r.right - r.left) - shown.Width, kDesignDpi, dpi_);
        next.Height += MulDiv(static_cast<int>(r.bottom - r.top) - shown.Height, kDesignDpi, dpi_);
        if (next == control_->Bounds()) return;
        syncing_ = true;
        control_->SetBounds(next.Left, next.Top, next.Width, next.Height);
        syncing_ = false;
    }

    // Moved to a monitor of another resolution: everything is laid out again
    // at the new one, in the rectangle the system suggests.
    void ChangeDpi(int next, const RECT* suggested) {
        if (next <= 0) return;
        dpi_ = next;
        context_.SetDpi(next);
        RescaleTree(*control_);
        if (suggested != nullptr) {
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    static void RescaleTree(Control& control) {
        // Texts measure differently at another resolution; a label that sizes
        // itself measures again.
        if (control.Kind() == ControlKind::Label && static_cast<Label&>(control).AutoSize()) {
            static_cast<Label&>(control).AdjustBounds();
        }
        if (auto* peer = static_cast<WindowPeer*>(control.GetPeer())) peer->Rescale();
        const std::vector<Control*> children = control.Children();
        for (Control* child : children) RescaleTree(*child);
    }

    std::unordered_map<int, WindowPeer*> ids_;
    int nextId_ = kFirstId;
    bool syncing_ = false;
    int dpi_ = context_.Dpi();
};

int WindowPeer::Dpi() const { return form_ != nullptr ? form_->FormDpi() : context_.Dpi(); }

void WindowPeer::FocusElsewhere() {
    if (form_ == nullptr || form_->Hwnd() == nullptr) return;
    HWND formWindow = form_->Hwnd();
    HWND next = GetNextDlgTabItem(formWindow, nullptr, FALSE);
    if (next != nullptr && next != hwnd_ && IsChild(hwnd_, next) == FALSE) SetFocus(next);
    else SetFocus(formWindow);
}

void WindowPeer::Create() {
    Control& c = *control_;
    HWND parent = nullptr;
    if (c.Kind() != ControlKind::Form) {
        parent = WindowOf(*c.Parent());
        form_ = static_cast<FormPeer*>(c.ParentForm()->GetPeer());
        id_ = form_->Register(this);
    }
    const Rect b = WindowBounds();
    const std::wstring text = InitialText();
    hwnd_ = CreateWindowExW(ExStyle(), ClassName(), text.c_str(), FullStyle(), b.Left, b.Top, b.Width, b.Height,
                            parent, parent != nullptr ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)) : nullptr,
                            context_.Instance(), nullptr);
    if (hwnd_ == nullptr) {
        const DWORD error = GetLastError();
        if (form_ != nullptr) form_->Unregister(id_);
        form_ = nullptr;
        throw std::system_error(static_cast<int>(error), std::system_category(), "creating the window of " + c.Name());
    }
    Registry()[hwnd_] = this;
    WindowsChanged();
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc)));
    // Our own classes run ControlProc already; their default is the system's.
    if (original_ == &ControlProc || original_ == nullptr) original_ = &DefWindowProcW;
    if (!c.Name().empty()) {
        const std::wstring name = sys::ToWide(c.Name(), 1252);
        const ATOM atom = GlobalAddAtomW(name.c_str());
        if (atom != 0 && !SetPropW(hwnd_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)))) {
            GlobalDeleteAtom(atom);
        }
    }
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(context_.FontFor(c.Font(), Dpi())), FALSE);
    // The focus is shown from the start, as if the keyboard had been used.
    SendMessageW(hwnd_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    // Realize creates siblings in their order; each new one goes last.
    if (parent != nullptr) {
        SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    Created();
    // The control does not hold this peer yet, so its siblings' loop would
    // pass it over (and a radio button's window cleared its mark on Created).
    ApplyKeyboardStyle();
    KeyboardStylesOfSiblings();
}

void WindowPeer::Cleanup() noexcept {
    if (hwnd_ == nullptr) return;
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd_, kNameProperty)));
    if (atom != 0) GlobalDeleteAtom(atom);
    Registry().erase(hwnd_);
    if (form_ != nullptr) form_->Unregister(id_);
    form_ = nullptr;
    hwnd_ = nullptr;
}

void WindowPeer::ApplyOrder() {
    const Control& c = *control_;
    if (c.Parent() == nullptr) return;
    const int index = c.TabOrder();
    HWND after = HWND_TOP;
    if (index > 0) {
        HWND previous = WindowOf(*c.Parent()->Children()[static_cast<std::size_t>(index - 1)]);
        if (previous != nullptr) after = previous;
    }
    SetWindowPos(hwnd_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- containers ----

// A container of our own class that paints itself: its background on erase,
// then Paint on WM_PAINT.
class PaintedPeer : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    DWORD KindStyle() const override { return WS_CLIPCHILDREN; }
    DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }

    virtual void Paint(HDC dc) = 0;

    LRESULT HandleAttached(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_ERASEBKGND:
            FillBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            Paint(BeginPaint(hwnd_, &ps));
            EndPaint(hwnd_, &ps);
            return 0;
        }
        default:
            return WindowPeer::HandleAttached(msg, wParam, lParam);
        }
    }
};

class PanelPeer final : public PaintedPeer {
public:
    using PaintedPeer::PaintedPeer;

protected:
    const wchar_t* ClassName() override { return kPanelClass; }

    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Text || aspect == Aspect::Font || aspect == Aspect::Style) {
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
    }

    void Paint(HDC dc) override {
        RECT r;
        GetClientRect(hwnd_, &r);
        const Bevel bevel = As<Panel>().Bevel();
        if (bevel != Bevel::None) {
            DrawEdge(dc, &r, bevel == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        }
        if (!control_->Caption().empty()) {
            const std::wstring text = Wide(control_->Caption());
            HGDIOBJ old = SelectObject(dc, context_.FontFor(control_->Font(), Dpi()));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, Context::ToColorRef(ShownText()));
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
        }
    }
};

class GroupBoxPeer final : public PaintedPeer {
public:
    using PaintedPeer::PaintedPeer;

protected:
    const wchar_t* ClassName() override { return kGroupBoxClass; }

    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Text || aspect == Aspect::Font) InvalidateRect(hwnd_, nullptr, TRUE);
    }

    void Paint(HDC dc) override {
        HGDIOBJ old = SelectObject(dc, context_.FontFor(control_->Font(), Dpi()));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        RECT frame;
        GetClientRect(hwnd_, &frame);
        frame.top += tm.tmHeight / 2;
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        // The caption interrupts the frame's top line.
        const std::wstring text = Wide(control_->Caption());
        if (!text.empty()) {
            RECT t{Px(8), 0, Px(8), tm.tmHeight};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            SetBkColor(dc, Context::ToColorRef(ShownBackground()));
            SetBkMode(dc, OPAQUE);
            SetTextColor(dc, Context::ToColorRef(control_->Enabled() ? ShownText() : clGrayText));
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_NOPREFIX);
        }
        SelectObject(dc, old);
    }
};

// ---- text and buttons ----

class LabelPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"STATIC"; }
    DWORD KindStyle() const override {
        const Label& label = As<Label>();
        DWORD style = SS_NOPREFIX | SS_NOTIFY;
        switch (label.Alignment()) {
        case Alignment::Left: style |= label.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
        case Alignment::Center: style |= SS_CENTER; break;
        case Alignment::Right: style |= SS_RIGHT; break;
        }
        // The static control centres vertically only text it does not wrap.
        if (label.Layout() == VerticalLayout::Center && !label.WordWrap()) style |= SS_CENTERIMAGE;
        return style;
    }
    HBRUSH CtlColor(HDC dc) override { return PaintColours(dc); }
    void Command(WORD code) override {
        if (code == STN_CLICKED || code == STN_DBLCLK) control_->Click();
    }
    [[nodiscard]] bool Paced(Aspect aspect) const override { return aspect == Aspect::Text; }
};

class ButtonPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"BUTTON"; }
    DWORD KindStyle() const override { return As<Button>().Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Style) SendMessageW(hwnd_, BM_SETSTYLE, KindStyle(), TRUE);
    }
    void Command(WORD code) override {
        if (code == BN_CLICKED) control_->Click();
    }
};

// Check boxes and radio buttons: the control decides the state, the window
// shows it (the window does not check itself).
template <class T, DWORD Style>
class CheckPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"BUTTON"; }
    DWORD KindStyle() const override { return Style; }
    void Created() override { ApplyKind(Aspect::State); }
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::State) {
            SendMessageW(hwnd_, BM_SETCHECK, this->template As<T>().Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
    HBRUSH CtlColor(HDC dc) override { return PaintColours(dc); }
    void Command(WORD code) override {
        // The system clicks a radio button that gets the focus unchecked;
        // here the keyboard only moves the focus and Space chooses.
        if (code != BN_CLICKED || takingFocus_) return;
        control_->Click();
        // A click the control refused leaves the window as the control is.
        if (control_ != nullptr) ApplyKind(Aspect::State);
    }
    LRESULT HandleAttached(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != WM_SETFOCUS) return WindowPeer::HandleAttached(msg, wParam, lParam);
        takingFocus_ = true;
        const LRESULT result = WindowPeer::HandleAttached(msg, wParam, lParam);
        takingFocus_ = false;
        return result;
    }

private:
    bool takingFocus_ = false;
};

class SpeedButtonPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"BUTTON"; }
    DWORD KindStyle() const override { return BS_OWNERDRAW; }
    void Created() override { MakeGlyph(); }
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Picture) MakeGlyph();
        if (aspect == Aspect::State || aspect == Aspect::Style || aspect == Aspect::Picture ||
            aspect == Aspect::Enabled || aspect == Aspect::Color) {
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        if (aspect == Aspect::State) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    }
    void Command(WORD code) override {
        // A quick second click arrives as a double click.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) control_->Click();
    }

    // Space and Enter choose the button (SpeedButton::Choose) once per press;
    // Enter is the button's, not the default button's.
    LRESULT HandleAttached(UINT msg, WPARAM wParam, LPARAM lParam) override {
        const bool choosingKey = wParam == VK_SPACE || wParam == VK_RETURN;
        switch (msg) {
        case WM_GETDLGCODE: {
            LRESULT code = Default(msg, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (!choosingKey) break;
            if ((lParam & (LPARAM{1} << 30)) == 0) As<SpeedButton>().Choose();
            return 0;
        case WM_KEYUP:
        case WM_CHAR:
            // The characters of both keys have the keys' codes.
            if (choosingKey) return 0;
            break;
        default:
            break;
        }
        return WindowPeer::HandleAttached(msg, wParam, lParam);
    }

    void DrawItem(DRAWITEMSTRUCT& item) override {
        const SpeedButton& button = As<SpeedButton>();
        HDC dc = item.hDC;
        RECT r = item.rcItem;
        const bool pressed = button.Down() || (item.itemState & ODS_SELECTED) != 0;
        const bool highContrast = context_.HighContrast();
        // In high contrast the chosen button is the highlighted one.
        Color back = ShownBackground();
        if (pressed && highContrast) back = clHighlight;
        else if (pressed && button.Flat()) back = clBtnFace;
        FillRect(dc, &r, context_.BrushFor(back));
        if (pressed) DrawEdge(dc, &r, button.Flat() ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
        else if (!button.Flat()) DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
        const int shift = pressed ? 1 : 0;

        const Bitmap& glyph = shownGlyph_;
        const std::wstring text = Wide(button.Caption());
        HGDIOBJ oldFont = SelectObject(dc, context_.FontFor(button.Font(), Dpi()));
        RECT textRect{0, 0, 0, 0};
        if (!text.empty()) {
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        }
        const int gap = !glyph.Empty() && !text.empty() ? Px(4) : 0;
        const int total = (glyph.Empty() ? 0 : glyph.Width()) + gap + static_cast<int>(textRect.right);
        int x = static_cast<int>(r.left + (r.right - r.left - total) / 2) + shift;
        const int height = static_cast<int>(r.bottom - r.top);
        if (glyph_) {
            if (HDC memory = CreateCompatibleDC(dc)) {
                HGDIOBJ oldBitmap = SelectObject(memory, glyph_.get());
                BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(button.Enabled() ? 255 : 128), AC_SRC_ALPHA};
                sys::dll::AlphaBlend(dc, x, static_cast<int>(r.top) + (height - glyph.Height()) / 2 + shift, glyph.Width(),
                           glyph.Height(), memory, 0, 0, glyph.Width(), glyph.Height(), blend);
                SelectObject(memory, oldBitmap);
                DeleteDC(memory);
            }
            x += glyph.Width() + gap;
        }
        if (!text.empty()) {
            RECT t{x, static_cast<LONG>(r.top + shift), static_cast<LONG>(x + textRect.right),
                   static_cast<LONG>(r.bottom + shift)};
            SetBkMode(dc, TRANSPARENT);
            const Color ink = !button.Enabled() ? clGrayText : back == clHighlight ? clHighlightText : ShownText();
            SetTextColor(dc, Context::ToColorRef(ink));
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        SelectObject(dc, oldFont);
        // The focus mark, whatever the system's keyboard cues say: a frame in
        // the colour of the text, round the edge, as the glyph leaves little
        // room inside.
        if ((item.itemState & ODS_FOCUS) != 0) {
            HBRUSH frame = context_.BrushFor(back == clHighlight ? clHighlightText : ShownText());
            RECT mark = r;
            for (int line = 0; line < Px(2); ++line) {
                FrameRect(dc, &mark, frame);
                InflateRect(&mark, -1, -1);
            }
        }
    }

private:
    // The glyph at the window's resolution, from its nearest rendering.
    void MakeGlyph() {
        const Bitmap& glyph = As<SpeedButton>().Glyph();
        shownGlyph_ = glyph.Empty() ? Bitmap{} : glyph.Rendered(Px(glyph.Width()), Px(glyph.Height()));
        glyph_ = MakePremultipliedDib(shownGlyph_);
    }

    Bitmap shownGlyph_;
    UniqueBitmap glyph_;
};

class EditPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"EDIT"; }
    DWORD KindStyle() const override { return ES_AUTOHSCROLL | (As<Edit>().ReadOnly() ? ES_READONLY : 0); }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Style) SendMessageW(hwnd_, EM_SETREADONLY, As<Edit>().ReadOnly() ? TRUE : FALSE, 0);
    }
    void Command(WORD code) override {
        if (code != EN_CHANGE || updating_) return;
        const int length = GetWindowTextLengthW(hwnd_);
        std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
        const int got = GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()));
        text.resize(static_cast<std::size_t>(std::max(got, 0)));
        As<Edit>().UserEdited(sys::FromWide(text, control_->TextCodePage()));
    }
};

class ComboBoxPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"COMBOBOX"; }
    DWORD KindStyle() const override { return CBS_DROPDOWNLIST | WS_VSCROLL; }
    std::wstring InitialText() const override { return {}; }
    Rect WindowBounds() const override {
        Rect b = control_->Bounds();
        b.Height += kDropDownHeight;
        return Scaled(b);
        return b;
    }
    void Created() override { Fill(); }
    void ApplyText() override {}
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Items || aspect == Aspect::Font) Fill();
        if (aspect == Aspect::ItemIndex) Select();
    }
    void Command(WORD code) override {
        if (code != CBN_SELCHANGE || updating_) return;
        const auto index = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
        ComboBox& box = As<ComboBox>();
        box.UserSelect(index);
        if (control_ != nullptr && box.ItemIndex() != index) Select();
    }

private:
    void Fill() {
        updating_ = true;
        SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : As<ComboBox>().Items()) {
            const std::wstring text = Wide(item);
            SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        updating_ = false;
        Select();
    }
    void Select() {
        updating_ = true;
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(As<ComboBox>().ItemIndex()), 0);
        updating_ = false;
    }
};

// ---- rich edit ----

class RichEditPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

    void RichClear() override {
        if (hwnd_ != nullptr) SetWindowTextW(hwnd_, L"");
    }
    void RichLoad() override { Rebuild(); }

    void RichInsert(std::string_view bytes) override {
        if (hwnd_ == nullptr) return;
        const RichEdit& box = As<RichEdit>();
        PlaceCaret(box.SelStart() - bytes.size());
        ApplySelectionFormat();
        const std::wstring text = sys::ToWide(bytes, box.InsertCodePage());
        SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }

    void RichChar(uint8_t byte) override {
        if (hwnd_ == nullptr) return;
        const RichEdit& box = As<RichEdit>();
        const char c = static_cast<char>(byte);
        const std::wstring wide = sys::ToWide(std::string_view(&c, 1), box.InsertCodePage());
        if (wide.size() != 1) return;
        PlaceCaret(box.SelStart() - 1);
        ApplySelectionFormat();
        // A keystroke: the character with a repeat count of 1.
        SendMessageW(hwnd_, WM_CHAR, static_cast<WPARAM>(wide[0]), 1);
    }

    void RichCaretToStart() override {
        if (hwnd_ == nullptr) return;
        SendMessageW(hwnd_, EM_SETSEL, 0, 0);
        SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
    }

    void RichAttributes(bool selection) override {
        if (hwnd_ == nullptr || control_ == nullptr) return;
        if (selection) ApplySelectionFormat();
        else SetFormat(SCF_DEFAULT, As<RichEdit>().DefAttributes());
    }

    void SetRedraw(bool on) override {
        if (hwnd_ == nullptr) return;
        SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
        if (on) InvalidateRect(hwnd_, nullptr, TRUE);
    }

protected:
    const wchar_t* ClassName() override {
        const wchar_t* name = context_.RichEditClass();
        return name != nullptr ? name : L"EDIT";
    }
    DWORD KindStyle() const override {
        return ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | (As<RichEdit>().ReadOnly() ? ES_READONLY : 0);
    }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    std::wstring InitialText() const override { return {}; }

    void Created() override {
        // The default limit (32K characters) would cut a long agreement.
        SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        SetFormat(SCF_DEFAULT, As<RichEdit>().DefAttributes());
        Rebuild();
        if (As<RichEdit>().UpdateCount() > 0) SetRedraw(false);
    }
    void ApplyText() override { Rebuild(); }
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Style) SendMessageW(hwnd_, EM_SETREADONLY, As<RichEdit>().ReadOnly() ? TRUE : FALSE, 0);
    }

    LRESULT HandleAttached(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_GETDLGCODE) {
            // Tab and Esc belong to the dialog; so does Enter when the box
            // cannot be typed into.
            LRESULT code = Default(msg, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN &&
                (key->wParam == VK_TAB || key->wParam == VK_ESCAPE ||
                 (key->wParam == VK_RETURN && As<RichEdit>().ReadOnly()))) {
                code &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
            }
            return code;
        }
        return WindowPeer::HandleAttached(msg, wParam, lParam);
    }

private:
    void SetFormat(WPARAM which, const TextAttributes& attributes) {
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_CHARSET;
        format.bCharSet = attributes.Charset;
        if (!attributes.Name.empty()) {
            format.dwMask |= CFM_FACE;
            const std::wstring face = sys::ToWide(attributes.Name, 1252);
            face.copy(format.szFaceName, LF_FACESIZE - 1);
        }
        SendMessageW(hwnd_, EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&format));
    }

    void ApplySelectionFormat() { SetFormat(SCF_SELECTION, As<RichEdit>().SelAttributes()); }

    // The box keeps a paragraph break as one character where the document
    // has CR LF; every other byte is one character.
    void PlaceCaret(std::size_t bytePosition) {
        const std::string& text = control_->Text();
        bytePosition = std::min(bytePosition, text.size());
        std::size_t position = 0;
        for (std::size_t i = 0; i < bytePosition; ++i) {
            if (text[i] == '\r' && i + 1 < bytePosition && text[i + 1] == '\n') ++i;
            ++position;
        }
        SendMessageW(hwnd_, EM_SETSEL, position, position);
    }

    // The window made anew from the document, run by run of one character set.
    void Rebuild() {
        if (hwnd_ == nullptr) return;
        RichEdit& box = As<RichEdit>();
        const std::string& text = box.Text();
        SetWindowTextW(hwnd_, L"");
        const TextAttributes selection = box.SelAttributes();
        std::size_t start = 0;
        while (start < text.size()) {
            const uint8_t charset = box.CharsetAt(start);
            std::size_t end = start + 1;
            while (end < text.size() && box.CharsetAt(end) == charset) ++end;
            const unsigned codePage =
                box.ExplicitTextCodePage() != 0 ? box.ExplicitTextCodePage() : CodePageOfCharset(charset);
            SetFormat(SCF_SELECTION, TextAttributes{selection.Name, charset});
            const std::wstring run = sys::ToWide(std::string_view(text).substr(start, end - start), codePage);
            SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(run.c_str()));
            start = end;
        }
        PlaceCaret(box.SelStart());
    }
};

// ---- tree view ----

class TreeViewPeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

    void TreeInserted(TreeNode& node) override {
        if (hwnd_ == nullptr) return;
        Insert(node);
    }

    void TreeRemoving(TreeNode& node) override {
        if (hwnd_ == nullptr) return;
        auto it = items_.find(&node);
        if (it == items_.end()) return;
        HTREEITEM item = it->second;
        Forget(node);
        updating_ = true;
        SendMessageW(hwnd_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
        updating_ = false;
    }

    void TreeNodeChanged(TreeNode& node) override {
        if (hwnd_ == nullptr) return;
        auto it = items_.find(&node);
        if (it == items_.end()) return;
        std::wstring text = Wide(node.Text());
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
        item.hItem = it->second;
        item.pszText = text.data();
        item.iImage = node.ImageIndex();
        item.iSelectedImage = node.SelectedIndex();
        item.cChildren = node.HasChildren() ? 1 : 0;
        SendMessageW(hwnd_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    void TreeExpanded(TreeNode& node) override {
        if (hwnd_ == nullptr) return;
        auto it = items_.find(&node);
        if (it == items_.end()) return;
        updating_ = true;
        SendMessageW(hwnd_, TVM_EXPAND, node.Expanded() ? TVE_EXPAND : TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(it->second));
        updating_ = false;
    }

    void TreeSelected() override {
        if (hwnd_ == nullptr) return;
        const TreeNode* selected = As<TreeView>().Selected();
        HTREEITEM item = nullptr;
        if (selected != nullptr) {
            auto it = items_.find(selected);
            if (it != items_.end()) item = it->second;
        }
        updating_ = true;
        SendMessageW(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        updating_ = false;
    }

    void SetRedraw(bool on) override {
        if (hwnd_ == nullptr) return;
        SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
        if (on) InvalidateRect(hwnd_, nullptr, TRUE);
    }

protected:
    const wchar_t* ClassName() override { return WC_TREEVIEWW; }
    DWORD KindStyle() const override {
        const TreeView& tree = As<TreeView>();
        DWORD style = TVS_HASBUTTONS;
        if (tree.ShowLines()) style |= TVS_HASLINES;
        if (tree.ShowRoot()) style |= TVS_LINESATROOT;
        if (!tree.ReadOnly()) style |= TVS_EDITLABELS;
        if (!tree.HideSelection()) style |= TVS_SHOWSELALWAYS;
        return style;
    }
    DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
    std::wstring InitialText() const override { return {}; }
    void ApplyText() override {}

    void Created() override {
        ApplyKind(Aspect::Picture);
        ApplyKind(Aspect::Style);
        TreeView& tree = As<TreeView>();
        for (std::size_t i = 0; i < tree.Count(); ++i) Insert(*tree.Item(i));
        TreeSelected();
    }

    void ApplyKind(Aspect aspect) override {
        TreeView& tree = As<TreeView>();
        switch (aspect) {
        case Aspect::Style:
            SendMessageW(hwnd_, TVM_SETINDENT, static_cast<WPARAM>(std::max(Px(tree.Indent()), 0)), 0);
            break;
        case Aspect::Picture:
            images_ = MakeImageList(tree.Images(), Dpi());
            SendMessageW(hwnd_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
            break;
        case Aspect::Font:
            tree.ForEach([this](TreeNode& node) { TreeNodeChanged(node); });
            break;
        default:
            break;
        }
    }

    LRESULT Notify(const NMHDR& header) override {
        TreeView& tree = As<TreeView>();
        switch (header.code) {
        case TVN_SELCHANGEDW: {
            if (updating_) return 0;
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            tree.UserSelected(NodeOf(info.itemNew.hItem));
            return 0;
        }
        case TVN_ITEMEXPANDINGW: {
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            TreeNode* node = NodeOf(info.itemNew.hItem);
            if (updating_ || node == nullptr || (info.action & TVE_EXPAND) == 0) return FALSE;
            // TRUE refuses the expansion.
            return tree.UserExpanding(*node) ? FALSE : TRUE;
        }
        case TVN_ITEMEXPANDEDW: {
            const auto& info = reinterpret_cast<const NMTREEVIEWW&>(header);
            TreeNode* node = NodeOf(info.itemNew.hItem);
            if (updating_ || node == nullptr) return 0;
            if ((info.action & TVE_EXPAND) != 0) tree.UserExpanded(*node);
            else if ((info.action & TVE_COLLAPSE) != 0) tree.UserCollapsed(*node);
            return 0;
        }
        default:
            return 0;
        }
    }

private:
    void Insert(TreeNode& node) {
        HTREEITEM parent = TVI_ROOT;
        if (node.Parent() != nullptr) {
            auto it = items_.find(node.Parent());
            if (it == items_.end()) return;
            parent = it->second;
        }
        std::wstring text = Wide(node.Text());
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
        insert.item.pszText = text.data();
        insert.item.iImage = node.ImageIndex();
        insert.item.iSelectedImage = node.SelectedIndex();
        insert.item.cChildren = node.HasChildren() ? 1 : 0;
        insert.item.lParam = reinterpret_cast<LPARAM>(&node);
        updating_ = true;
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        updating_ = false;
        if (item == nullptr) return;
        items_[&node] = item;
        for (std::size_t i = 0; i < node.Count(); ++i) Insert(*node.Item(i));
        if (node.Expanded()) TreeExpanded(node);
    }

    void Forget(const TreeNode& node) {
        items_.erase(&node);
        for (std::size_t i = 0; i < node.Count(); ++i) Forget(*node.Item(i));
    }

    // Items carry their node; a node the tree no longer maps is gone.
    TreeNode* NodeOf(HTREEITEM item) const {
        if (item == nullptr) return nullptr;
        for (const auto& [node, handle] : items_) {
            if (handle == item) return const_cast<TreeNode*>(node);
        }
        return nullptr;
    }

    static UniqueImageList MakeImageList(const ImageList* list, int dpi) {
        if (list == nullptr || list->Width() <= 0 || list->Height() <= 0) return {};
        const int w = ToPixels(list->Width(), dpi);
        const int h = ToPixels(list->Height(), dpi);
        UniqueImageList images(sys::dll::ImageList_Create(w, h, ILC_COLOR24 | ILC_MASK, list->Count(), 4));
        if (!images) return {};
        // Transparent pixels become black in the colour image and set in the
        // mask (rows of whole 16-bit words).
        const std::size_t maskStride = static_cast<std::size_t>((w + 15) / 16) * 2;
        for (int i = 0; i < list->Count(); ++i) {
            const Bitmap image = list->Image(i).Rendered(w, h);
            if (image.Width() != w || image.Height() != h) continue;
            Bitmap colour = image;
            std::vector<uint8_t> mask(maskStride * static_cast<std::size_t>(h), 0);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    if ((image.Pixel(x, y) >> 24) >= 128) {
                        colour.SetPixel(x, y, image.Pixel(x, y) | 0xFF000000u);
                        continue;
                    }
                    colour.SetPixel(x, y, 0xFF000000u);
                    mask[static_cast<std::size_t>(y) * maskStride + static_cast<std::size_t>(x / 8)] |=
                        static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
            UniqueBitmap colourBitmap = MakeOpaqueDib(colour, RGB(0, 0, 0));
            UniqueBitmap maskBitmap(CreateBitmap(w, h, 1, 1, mask.data()));
            if (colourBitmap && maskBitmap) sys::dll::ImageList_Add(images.get(), colourBitmap.get(), maskBitmap.get());
        }
        return images;
    }

    std::unordered_map<const TreeNode*, HTREEITEM> items_;
    UniqueImageList images_;
};

// ---- gauge and picture ----

class GaugePeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return PROGRESS_CLASSW; }
    DWORD KindStyle() const override { return PBS_SMOOTH; }
    std::wstring InitialText() const override { return {}; }
    void ApplyText() override {}
    void Created() override { ApplyKind(Aspect::Progress); }
    void ApplyKind(Aspect aspect) override {
        if (aspect != Aspect::Progress) return;
        const Gauge& gauge = As<Gauge>();
        // The bar needs a range of at least one step.
        const int32_t max = gauge.Max() > gauge.Min() ? gauge.Max() : gauge.Min() + 1;
        // Each setting message repaints the bar; the range rarely changes.
        PBRANGE shown{};
        SendMessageW(hwnd_, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&shown));
        if (shown.iLow != gauge.Min() || shown.iHigh != max) {
            SendMessageW(hwnd_, PBM_SETRANGE32, static_cast<WPARAM>(gauge.Min()), static_cast<LPARAM>(max));
        }
        SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(gauge.Progress()), 0);
    }
    // An empty or a full bar is shown at once: it ends or starts a stage.
    [[nodiscard]] bool Paced(Aspect aspect) const override {
        if (aspect != Aspect::Progress) return false;
        const Gauge& gauge = As<Gauge>();
        return gauge.Progress() != gauge.Min() && gauge.Progress() != gauge.Max();
    }
};

class ImagePeer final : public WindowPeer {
public:
    using WindowPeer::WindowPeer;

protected:
    const wchar_t* ClassName() override { return L"STATIC"; }
    DWORD KindStyle() const override { return SS_BITMAP; }
    std::wstring InitialText() const override { return {}; }
    void ApplyText() override {}
    void Created() override { Rebuild(); }
    void ApplyKind(Aspect aspect) override {
        if (aspect == Aspect::Picture || aspect == Aspect::Color || (aspect == Aspect::Bounds && As<Image>().Stretch())) {
            Rebuild();
        }
    }

private:
    void Rebuild() {
        const Image& image = As<Image>();
        const Bitmap& picture = image.Picture();
        UniqueBitmap next;
        if (!picture.Empty()) {
            const Rect shown = image.Stretch() ? Scaled(image.Bounds()) : Scaled({0, 0, picture.Width(), picture.Height()});
            next = MakeOpaqueDib(picture.Rendered(shown.Width, shown.Height), Context::ToColorRef(ShownBackground()));
        }
        SendMessageW(hwnd_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next.get()));
        bitmap_ = std::move(next);
        // The static control sizes itself to its picture; the control decides.
        ApplyBounds();
    }

    UniqueBitmap bitmap_;
};

}  // namespace

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowPeer* peer = PeerOf(hwnd);
    if (peer == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    try {
        return peer->Handle(msg, wParam, lParam);
    } catch (...) {
        KeepPendingException();
        return 0;
    }
}

std::unique_ptr<Peer> MakePeer(Context& context, Control& control) {
    std::unique_ptr<WindowPeer> peer;
    switch (control.Kind()) {
    case ControlKind::Form: peer = std::make_unique<FormPeer>(context, control); break;
    case ControlKind::Panel: peer = std::make_unique<PanelPeer>(context, control); break;
    case ControlKind::GroupBox: peer = std::make_unique<GroupBoxPeer>(context, control); break;
    case ControlKind::Label: peer = std::make_unique<LabelPeer>(context, control); break;
    case ControlKind::Button: peer = std::make_unique<ButtonPeer>(context, control); break;
    case ControlKind::SpeedButton: peer = std::make_unique<SpeedButtonPeer>(context, control); break;
    case ControlKind::CheckBox:
        peer = std::make_unique<CheckPeer<CheckBox, BS_CHECKBOX>>(context, control);
        break;
    case ControlKind::RadioButton:
        peer = std::make_unique<CheckPeer<RadioButton, BS_RADIOBUTTON>>(context, control);
        break;
    case ControlKind::Edit: peer = std::make_unique<EditPeer>(context, control); break;
    case ControlKind::ComboBox: peer = std::make_unique<ComboBoxPeer>(context, control); break;
    case ControlKind::RichEdit: peer = std::make_unique<RichEditPeer>(context, control); break;
    case ControlKind::TreeView: peer = std::make_unique<TreeViewPeer>(context, control); break;
    case ControlKind::Gauge: peer = std::make_unique<GaugePeer>(context, control); break;
    case ControlKind::Image: peer = std::make_unique<ImagePeer>(context, control); break;
    }
    peer->Create();
    return peer;
}

HWND WindowOf(const Control& control) noexcept {
    const auto* peer = static_cast<const WindowPeer*>(control.GetPeer());
    return peer != nullptr ? peer->Hwnd() : nullptr;
}

void ShowPostponed(bool force) {
    auto& postponed = Postponed();
    // Showing a change sends messages, which may add to the list.
    for (std::size_t i = 0; i < postponed.size();) {
        WindowPeer* peer = PeerOf(postponed[i]);
        if (peer == nullptr || peer->ShowPostponed(force)) {
            postponed.erase(postponed.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

bool IsFormWindow(HWND hwnd) noexcept {
    const WindowPeer* peer = PeerOf(hwnd);
    return peer != nullptr && peer->IsForm();
}

void RepaintAll() {
    std::vector<FormPeer*> forms;
    for (const auto& [hwnd, peer] : Registry()) {
        if (peer->IsForm()) forms.push_back(static_cast<FormPeer*>(peer));
    }
    for (FormPeer* form : forms) form->Repaint();
}

namespace {

std::wstring Trimmed(std::wstring text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start])) ++start;
    return text.substr(start);
}

// Whether a visible sibling in front of the window covers it whole, as the
// current page covers the pages stacked under it.
bool Covered(HWND hwnd) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return false;
    for (HWND above = GetWindow(hwnd, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV)) {
        RECT a;
        if (IsWindowVisible(above) && GetWindowRect(above, &a) && a.left <= r.left && a.top <= r.top &&
            a.right >= r.right && a.bottom >= r.bottom)
            return true;
    }
    return false;
}

}  // namespace

bool AccessibleFactsOf(HWND hwnd, AccessibleFacts& facts) {
    WindowPeer* peer = PeerOf(hwnd);
    if (peer == nullptr || !peer->Attached()) return false;
    const Control& c = peer->Target();
    const auto checked = [&facts](bool on) { (on ? facts.stateOn : facts.stateOff) |= STATE_SYSTEM_CHECKED; };
    const auto readOnly = [&facts](bool on) { (on ? facts.stateOn : facts.stateOff) |= STATE_SYSTEM_READONLY; };
    // Kinds that show their caption are named by it; the others by what the
    // program or the system gives them.
    bool namedByCaption = false;
    switch (c.Kind()) {
    case ControlKind::Form:
        break;
    case ControlKind::Panel:
        facts.role = ROLE_SYSTEM_PANE;
        namedByCaption = true;
        break;
    case ControlKind::GroupBox:
        facts.role = ROLE_SYSTEM_GROUPING;
        namedByCaption = true;
        break;
    case ControlKind::Label:
        facts.role = ROLE_SYSTEM_STATICTEXT;
        namedByCaption = true;
        break;
    case ControlKind::Button:
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
        namedByCaption = true;
        break;
    case ControlKind::SpeedButton: {
        // A button of a group is one choice among several.
        const auto& button = static_cast<const SpeedButton&>(c);
        namedByCaption = true;
        if (button.GroupIndex() != 0) {
            facts.role = ROLE_SYSTEM_RADIOBUTTON;
            checked(button.Down());
        } else {
            facts.role = ROLE_SYSTEM_PUSHBUTTON;
        }
        break;
    }
    case ControlKind::CheckBox:
        facts.role = ROLE_SYSTEM_CHECKBUTTON;
        namedByCaption = true;
        checked(static_cast<const CheckBox&>(c).Checked());
        break;
    case ControlKind::RadioButton:
        facts.role = ROLE_SYSTEM_RADIOBUTTON;
        namedByCaption = true;
        checked(static_cast<const RadioButton&>(c).Checked());
        break;
    case ControlKind::Edit:
        facts.role = ROLE_SYSTEM_TEXT;
        readOnly(static_cast<const Edit&>(c).ReadOnly());
        break;
    case ControlKind::ComboBox:
        facts.role = ROLE_SYSTEM_COMBOBOX;
        break;
    case ControlKind::RichEdit: {
        // A box the user cannot type into is a document to read.
        const bool fixed = static_cast<const RichEdit&>(c).ReadOnly();
        facts.role = fixed ? ROLE_SYSTEM_DOCUMENT : ROLE_SYSTEM_TEXT;
        readOnly(fixed);
        break;
    }
    case ControlKind::TreeView:
        facts.role = ROLE_SYSTEM_OUTLINE;
        break;
    case ControlKind::Gauge:
        facts.role = ROLE_SYSTEM_PROGRESSBAR;
        break;
    case ControlKind::Image:
        facts.role = ROLE_SYSTEM_GRAPHIC;
        if (c.AccessibleName().empty()) {
            facts.name = std::wstring();
            facts.stateOn |= STATE_SYSTEM_INVISIBLE;
        }
        break;
    }
    if (!c.AccessibleName().empty()) {
        facts.name = Trimmed(sys::ToWide(c.AccessibleName(), c.AccessibleNameCodePage()));
    } else if (namedByCaption && !c.Caption().empty()) {
        facts.name = Trimmed(sys::ToWide(c.Caption(), c.TextCodePage()));
    }
    // What is stacked under another window is not there for anyone.
    for (HWND h = hwnd; h != nullptr && !IsFormWindow(h); h = GetParent(h)) {
        if (Covered(h)) {
            facts.stateOn |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
            break;
        }
    }
    return true;
}

bool DoDefaultActionOf(HWND hwnd) {
    WindowPeer* peer = PeerOf(hwnd);
    if (peer == nullptr || !peer->Attached() || peer->Target().Kind() != ControlKind::SpeedButton) return false;
    static_cast<SpeedButton&>(peer->Target()).Choose();
    return true;
}

}  // namespace ui::win32::detail
