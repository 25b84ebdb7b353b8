#pragma once
// Sizes of folder trees on disk.

#include <cstdint>
#include <string_view>

// Bytes in the tree under `katalog` (no trailing backslash), as the folder
// enumeration reports them, skipping every entry named on `lista` (a listed
// folder skips its whole subtree). A folder that cannot be enumerated counts 0.
std::int64_t RozmiarKatalogu(std::string_view katalog, std::string_view lista);
