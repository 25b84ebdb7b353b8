#include "sys/resources.h"

#include "sys/text.h"

#include <windows.h>

namespace sys {

std::optional<std::span<const std::uint8_t>> OwnResource(std::string_view name) {
    HMODULE module = GetModuleHandleW(nullptr);
    const std::wstring wide = ToWide(name);
    HRSRC info = FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!info) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, info);  // module memory: never freed
    const DWORD size = SizeofResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), size);
}

}  // namespace sys
