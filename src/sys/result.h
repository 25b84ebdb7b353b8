#pragma once
// How the wrappers report failure. An operation that can fail returns a
// Result carrying the system's error; a question (does it exist, has it
// ended) answers with bool, a lookup with std::optional.

#include <cstdint>

namespace sys {

// The outcome of an operation that can fail: the Win32 error code (or the
// registry's LSTATUS), 0 on success.
struct [[nodiscard]] Result {
    std::uint32_t error = 0;

    [[nodiscard]] bool ok() const noexcept { return error == 0; }
    explicit operator bool() const noexcept { return ok(); }
};

// Ignores a result on purpose. The reason is mandatory so that every place
// that drops a failure says why.
template <class T>
constexpr void Ignore(T&&, const char* /*why*/) noexcept {}

}  // namespace sys
