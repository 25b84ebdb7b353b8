#include "sys/shell.h"

#include "sys/text.h"

#include <string>

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace sys {

namespace {

// A COM interface pointer that is released exactly once.
template <class I>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    I** put() noexcept { return &p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    template <class J>
    HRESULT Query(REFIID iid, ComPtr<J>& out) const noexcept {
        const HRESULT hr = p_->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
        return SUCCEEDED(hr) && !out ? E_NOINTERFACE : hr;
    }

private:
    I* p_ = nullptr;
};

// A COM failure as the Win32 error it wraps, else as the HRESULT itself.
Result ComFailure(HRESULT hr) noexcept {
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return Result{static_cast<std::uint32_t>(HRESULT_CODE(hr))};
    return Result{static_cast<std::uint32_t>(hr)};
}

}  // namespace

ComInitialization::ComInitialization() noexcept
    : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComInitialization::~ComInitialization() {
    if (ok_) CoUninitialize();
}

Result SaveShellLink(const ShellLink& link, std::string_view linkFile) noexcept {
    try {
        ComPtr<IShellLinkA> shellLink;
        HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(shellLink.put()));
        if (FAILED(hr)) return ComFailure(hr);
        if (!shellLink) return ComFailure(E_NOINTERFACE);
        ComPtr<IPersistFile> persist;
        if (hr = shellLink.Query(IID_IPersistFile, persist); FAILED(hr)) return ComFailure(hr);

        // The texts go in through the wide interface of the same object when
        // it has one, so that Polish letters survive whatever the system's
        // ANSI code page is; the narrow one takes them in that code page.
        ComPtr<IShellLinkW> wide;
        if (SUCCEEDED(shellLink.Query(IID_IShellLinkW, wide))) {
            wide->SetPath(ToWide(link.target).c_str());
            wide->SetWorkingDirectory(ToWide(link.workingDirectory).c_str());
            wide->SetDescription(ToWide(link.description).c_str());
        } else {
            shellLink->SetPath(FromWide(ToWide(link.target), CP_ACP).c_str());
            shellLink->SetWorkingDirectory(FromWide(ToWide(link.workingDirectory), CP_ACP).c_str());
            shellLink->SetDescription(FromWide(ToWide(link.description), CP_ACP).c_str());
        }
        // A link saved only in part (or not at all) must not take the place
        // of a working one.
        if (hr = persist->Save(ToWide(linkFile).c_str(), FALSE); FAILED(hr)) return ComFailure(hr);
        return Result{};
    } catch (...) {
        // Only the conversions allocate; out of memory counts as not made.
        return Result{ERROR_OUTOFMEMORY};
    }
}

}  // namespace sys
