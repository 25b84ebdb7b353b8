#pragma once
// For the wrappers' own sources: a failed call's error as a Result.

#include "sys/result.h"

#include <windows.h>

namespace sys {

// GetLastError after a failed call; a call that left no code must still read
// as a failure.
inline std::uint32_t LastError() noexcept {
    const DWORD e = GetLastError();
    return e != 0 ? e : ERROR_GEN_FAILURE;
}

inline Result Outcome(BOOL succeeded) noexcept { return Result{succeeded ? 0u : LastError()}; }

}  // namespace sys
