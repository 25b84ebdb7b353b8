#pragma once
// The one exception type of the program. It carries the message (single-byte
// Windows-1250, as every text inside the program) and the place that raised it.
// The installation sequence's guard turns it into the error outcome.

#include <stdexcept>
#include <string>

class BladProgramu : public std::runtime_error {
public:
    // The place defaults to the caller's (the builtins work in g++ and clang,
    // where std::source_location is not yet available to every compiler here).
    explicit BladProgramu(const std::string& komunikat, const char* plik = __builtin_FILE(),
                          unsigned linia = __builtin_LINE(), const char* funkcja = __builtin_FUNCTION())
        : std::runtime_error(komunikat), plik_(plik), linia_(linia), funkcja_(funkcja) {}

    // The message alone, as the program shows or compares it.
    const char* komunikat() const noexcept { return what(); }
    // "file:line (function)" of the place that raised it, for diagnostics.
    std::string gdzie() const {
        return std::string(plik_) + ":" + std::to_string(linia_) + " (" + funkcja_ + ")";
    }

private:
    const char* plik_;
    unsigned linia_;
    const char* funkcja_;
};
