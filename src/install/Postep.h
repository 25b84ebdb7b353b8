#pragma once
// The installation page's gauge is a 32-bit gauge fed with 64-bit byte
// counts: it shows their low 32 bits, as a signed value.

#include <cstdint>

constexpr std::int32_t Mlodsze32Bity(std::int64_t wartosc) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wartosc)));
}

static_assert(Mlodsze32Bity(5'000'000'000) == 705'032'704);
static_assert(Mlodsze32Bity(-1) == -1);
