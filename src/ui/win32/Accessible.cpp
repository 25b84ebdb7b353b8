// What a screen reader sees of a window of ours: the system's object for the
// window's class, in front of which this one answers the name, the role and
// the state from what the control knows (AccessibleFactsOf), and passes
// every other question through. Calls arrive on the window's thread: from
// another process through COM, which the message loop serves.

#include "ui/win32/Internal.h"

#include <ole2.h>
#include <oleacc.h>

#include <new>

namespace ui::win32::detail {

namespace {

bool IsSelf(const VARIANT& child) noexcept { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

class ControlAccessible final : public IAccessible, public IOleWindow {
public:
    // Takes over the reference to `standard`, which may be null.
    ControlAccessible(HWND hwnd, IAccessible* standard) noexcept : hwnd_(hwnd), standard_(standard) {}
    ControlAccessible(const ControlAccessible&) = delete;
    ControlAccessible& operator=(const ControlAccessible&) = delete;

    // ---- IUnknown ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
        } else if (iid == IID_IOleWindow) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // ---- IOleWindow: how a reader finds the window of an object ----
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IDispatch: readers call the interface itself ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible: what the control knows ----
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        AccessibleFacts facts;
        if (!IsSelf(child) || !AccessibleFactsOf(hwnd_, facts) || !facts.name) return Pass(&IAccessible::get_accName, child, name);
        if (name == nullptr) return E_POINTER;
        *name = nullptr;
        if (facts.name->empty()) return S_FALSE;
        *name = SysAllocString(facts.name->c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        AccessibleFacts facts;
        if (!IsSelf(child) || !AccessibleFactsOf(hwnd_, facts) || facts.role == 0) return Pass(&IAccessible::get_accRole, child, role);
        if (role == nullptr) return E_POINTER;
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = facts.role;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        AccessibleFacts facts;
        if (!IsSelf(child) || !AccessibleFactsOf(hwnd_, facts)) return Pass(&IAccessible::get_accState, child, state);
        if (state == nullptr) return E_POINTER;
        long bits = 0;
        VARIANT system;
        VariantInit(&system);
        if (standard_ != nullptr && SUCCEEDED(standard_->get_accState(child, &system)) && system.vt == VT_I4) {
            bits = system.lVal;
        }
        VariantClear(&system);
        if (!IsWindowEnabled(hwnd_)) bits |= STATE_SYSTEM_UNAVAILABLE;
        if (GetFocus() == hwnd_) bits |= STATE_SYSTEM_FOCUSED;
        VariantInit(state);
        state->vt = VT_I4;
        state->lVal = (bits | facts.stateOn) & ~facts.stateOff;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (IsSelf(child) && DoDefaultActionOf(hwnd_)) return S_OK;
        return standard_ != nullptr ? standard_->accDoDefaultAction(child) : E_NOTIMPL;
    }

    // ---- IAccessible: the system's answers ----
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_ != nullptr ? standard_->get_accParent(parent) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_ != nullptr ? standard_->get_accChildCount(count) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_ != nullptr ? standard_->get_accChild(child, object) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Pass(&IAccessible::get_accValue, child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return Pass(&IAccessible::get_accDescription, child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return Pass(&IAccessible::get_accHelp, child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_ != nullptr ? standard_->get_accHelpTopic(file, child, topic) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Pass(&IAccessible::get_accKeyboardShortcut, child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_ != nullptr ? standard_->get_accFocus(child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_ != nullptr ? standard_->get_accSelection(children) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Pass(&IAccessible::get_accDefaultAction, child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override {
        return standard_ != nullptr ? standard_->accSelect(how, child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_ != nullptr ? standard_->accLocation(left, top, width, height, child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_ != nullptr ? standard_->accNavigate(direction, start, end) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_ != nullptr ? standard_->accHitTest(x, y, child) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_ != nullptr ? standard_->put_accValue(child, value) : E_NOTIMPL;
    }

private:
    ~ControlAccessible() {
        if (standard_ != nullptr) standard_->Release();
    }

    template <class Out>
    HRESULT Pass(HRESULT (STDMETHODCALLTYPE IAccessible::*question)(VARIANT, Out*), VARIANT child, Out* out) {
        return standard_ != nullptr ? (standard_->*question)(child, out) : E_NOTIMPL;
    }

    LONG references_ = 1;
    HWND hwnd_;
    IAccessible* standard_;
};

}  // namespace

LRESULT AccessibleObjectFor(HWND hwnd, WPARAM wParam) noexcept {
    IAccessible* standard = nullptr;
    if (FAILED(sys::dll::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_IAccessible,
                                                   reinterpret_cast<void**>(&standard))))
        standard = nullptr;
    auto* object = new (std::nothrow) ControlAccessible(hwnd, standard);
    if (object == nullptr) {
        if (standard != nullptr) standard->Release();
        return 0;
    }
    // The result holds a reference of its own; a negative one is a failure.
    const LRESULT result = sys::dll::LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result > 0 ? result : 0;
}

}  // namespace ui::win32::detail
