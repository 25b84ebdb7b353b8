#include "sys/registry.h"

#include "sys/text.h"

#include <vector>

namespace sys {

HKEY RootHandle(RegistryRoot root) noexcept {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::optional<RegistryKey> RegistryKey::OpenRead(RegistryRoot root, std::string_view path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootHandle(root), ToWide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return RegistryKey(key);
}

std::optional<RegistryKey> RegistryKey::OpenFull(RegistryRoot root, std::string_view path, bool create) {
    if (path.empty()) return std::nullopt;
    const std::wstring wide = ToWide(path);
    HKEY key = nullptr;
    LONG rc;
    if (create) {
        rc = RegCreateKeyExW(RootHandle(root), wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, nullptr);
    } else {
        rc = RegOpenKeyExW(RootHandle(root), wide.c_str(), 0, KEY_ALL_ACCESS, &key);
    }
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return RegistryKey(key);
}

bool RegistryKey::Exists(RegistryRoot root, std::string_view path) {
    return OpenRead(root, path).has_value();
}

namespace {

Result Status(LONG rc) noexcept { return Result{static_cast<std::uint32_t>(rc)}; }

// Deleting what is not there leaves it gone all the same.
Result Gone(LONG rc) noexcept { return rc == ERROR_FILE_NOT_FOUND ? Result{} : Status(rc); }

// Depth-first: a key can be deleted only once it has no subkeys.
Result DeleteSubtree(HKEY parent, const std::wstring& name) {
    HKEY raw = nullptr;
    LONG rc = RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &raw);
    if (rc != ERROR_SUCCESS) return Gone(rc);
    RegistryKeyHandle key(raw);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        rc = RegEnumKeyExW(key.get(), 0, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) return Status(rc);
        if (const Result r = DeleteSubtree(key.get(), std::wstring(buffer.data(), length)); !r) return r;
    }
    key.reset();
    return Gone(RegDeleteKeyW(parent, name.c_str()));
}

}  // namespace

Result RegistryKey::DeleteTree(RegistryRoot root, std::string_view path) {
    if (path.empty()) return Result{ERROR_INVALID_PARAMETER};
    return DeleteSubtree(RootHandle(root), ToWide(path));
}

std::optional<std::wstring> RegistryKey::ReadWideString(std::string_view name) const {
    const std::wstring wname = ToWide(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // The value may grow between the two calls; try again with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
        // One spare character: stored strings need not be terminated.
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        const LONG rc = RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (rc == ERROR_MORE_DATA) {
            bytes = size;
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        std::wstring_view text(buffer.data(), size / sizeof(wchar_t));
        if (auto nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
        return std::wstring(text);
    }
    return std::nullopt;
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
    auto text = ReadWideString(name);
    if (!text) return std::nullopt;
    return FromWide(*text);
}

std::optional<std::uint32_t> RegistryKey::ReadDword(std::string_view name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key_.get(), ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return std::nullopt;
    return value;
}

Result RegistryKey::WriteString(std::string_view name, std::string_view value) {
    const std::wstring wide = ToWide(value);
    const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return Status(RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(wide.c_str()), bytes));
}

Result RegistryKey::WriteDword(std::string_view name, std::uint32_t value) {
    const DWORD v = value;
    return Status(RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                                 sizeof(v)));
}

std::optional<RegistryKey::RawValue> RegistryKey::ReadRaw(std::string_view name) const {
    const std::wstring wname = ToWide(name);
    for (;;) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        RawValue value{type, std::string(size, '\0')};
        DWORD read = size;
        const LONG rc = RegQueryValueExW(key_.get(), wname.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(value.bytes.data()), &read);
        // The value may grow between the two calls; try again with the new size.
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) return std::nullopt;
        value.type = type;
        value.bytes.resize(read);
        return value;
    }
}

RegistryKey::RawValue RegistryKey::StringValue(std::string_view value) {
    const std::wstring wide = ToWide(value);
    const auto* bytes = reinterpret_cast<const char*>(wide.c_str());
    return RawValue{REG_SZ, std::string(bytes, (wide.size() + 1) * sizeof(wchar_t))};
}

RegistryKey::RawValue RegistryKey::DwordValue(std::uint32_t value) {
    const DWORD v = value;
    return RawValue{REG_DWORD, std::string(reinterpret_cast<const char*>(&v), sizeof(v))};
}

std::optional<std::uint64_t> RegistryKey::LastWriteTime() const {
    FILETIME time{};
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &time) != ERROR_SUCCESS)
        return std::nullopt;
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

Result RegistryKey::WriteRaw(std::string_view name, const RawValue& value) {
    return Status(RegSetValueExW(key_.get(), ToWide(name).c_str(), 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.bytes.data()),
                                 static_cast<DWORD>(value.bytes.size())));
}

Result RegistryKey::DeleteValue(std::string_view name) {
    return Gone(RegDeleteValueW(key_.get(), ToWide(name).c_str()));
}

Result RegistryKey::DeleteIfEmpty(RegistryRoot root, std::string_view path) {
    if (path.empty()) return Result{ERROR_INVALID_PARAMETER};
    const std::wstring wide = ToWide(path);
    HKEY raw = nullptr;
    const LONG rc = RegOpenKeyExW(RootHandle(root), wide.c_str(), 0, KEY_READ, &raw);
    if (rc != ERROR_SUCCESS) return Gone(rc);
    RegistryKeyHandle key(raw);
    DWORD subkeys = 0, values = 0;
    if (const LONG info = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                           nullptr, nullptr, nullptr, nullptr);
        info != ERROR_SUCCESS)
        return Status(info);
    if (subkeys != 0 || values != 0) return Result{ERROR_DIR_NOT_EMPTY};
    key.reset();
    return Gone(RegDeleteKeyW(RootHandle(root), wide.c_str()));
}

}  // namespace sys
