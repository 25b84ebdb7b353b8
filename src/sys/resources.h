#pragma once
// Named resources of the running program's own module.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace sys {

// The bytes of the RCDATA resource `name` (ASCII) of the running program, or
// nullopt when it has none. The bytes live as long as the module.
[[nodiscard]] std::optional<std::span<const std::uint8_t>> OwnResource(std::string_view name);

}  // namespace sys
