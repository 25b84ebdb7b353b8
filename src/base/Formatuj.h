#pragma once
// The format function for the program's texts: "%s" takes the next string,
// "%d" the next integer, "%%" gives "%". Arguments are taken in order; a
// placeholder without an argument left gives nothing, and surplus arguments
// are ignored, so a translation that drops a placeholder never reads past the
// arguments. Any other "%" stays as it is. Single-byte in, single-byte out.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using ArgumentTekstu = std::variant<std::string_view, std::int64_t>;

std::string FormatujTekst(std::string_view wzor, const std::vector<ArgumentTekstu>& argumenty);

namespace formatuj_detail {
inline ArgumentTekstu Argument(std::string_view s) { return s; }
inline ArgumentTekstu Argument(const std::string& s) { return std::string_view(s); }
inline ArgumentTekstu Argument(const char* s) { return std::string_view(s); }
template <class T>
    requires std::is_integral_v<T>
ArgumentTekstu Argument(T v) {
    return static_cast<std::int64_t>(v);
}
}  // namespace formatuj_detail

template <class... Args>
std::string Formatuj(std::string_view wzor, const Args&... argumenty) {
    return FormatujTekst(wzor, {formatuj_detail::Argument(argumenty)...});
}
