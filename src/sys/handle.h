#pragma once
// Owning handles. An owner closes what it holds exactly once; the invalid
// value of each kind is part of its traits. Borrowed handles are plain values
// of the raw type and are never closed by this code.

#include <utility>

namespace sys {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    [[nodiscard]] Handle get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Traits::invalid(); }

    // Gives up ownership without closing.
    [[nodiscard]] Handle release() noexcept { return std::exchange(h_, Traits::invalid()); }

    void reset(Handle h = Traits::invalid()) noexcept {
        Handle old = std::exchange(h_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    Handle h_ = Traits::invalid();
};

// The traits of a kind that is invalid as null and closed by one function.
// `Kind` keeps apart kinds of one raw type (a process and a thread are both
// HANDLEs), so that one is never passed where the other is meant.
template <class H, auto Close, class Kind = void>
struct NullHandleTraits {
    using Handle = H;
    static constexpr Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { Close(h); }
};
template <class H, auto Close, class Kind = void>
using NullHandle = UniqueHandle<NullHandleTraits<H, Close, Kind>>;

}  // namespace sys
