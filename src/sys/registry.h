#pragma once
// The registry. Key paths, value names and string values are single-byte
// Windows-1250; they cross to the system as UTF-16.
//
// Opening rules the whole program keeps: reads open keys read-only and never
// create them; writes open keys with full access and create them only when
// the caller asks for it.

#include "sys/handle.h"
#include "sys/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace sys {

// The predefined roots the program uses. They are borrowed: never closed.
enum class RegistryRoot { CurrentUser, LocalMachine };

using RegistryKeyHandle = NullHandle<HKEY, &RegCloseKey>;

class RegistryKey {
public:
    // Opens an existing key for reading. Never creates; nullopt when the key
    // does not exist or cannot be opened.
    [[nodiscard]] static std::optional<RegistryKey> OpenRead(RegistryRoot root, std::string_view path);

    // Opens a key with full access. When `create` is set a missing key is
    // created (with its missing parents); otherwise a missing key gives nullopt.
    // An empty path is refused: the program never writes into a root itself.
    [[nodiscard]] static std::optional<RegistryKey> OpenFull(RegistryRoot root, std::string_view path,
                                                             bool create);

    // Whether a key exists, without creating it.
    [[nodiscard]] static bool Exists(RegistryRoot root, std::string_view path);

    // Deletes a key with all its subkeys and values. Succeeds when the key is
    // gone afterwards (also when it never existed).
    static Result DeleteTree(RegistryRoot root, std::string_view path);

    // A string value (REG_SZ or REG_EXPAND_SZ, unexpanded); nullopt when the
    // value is missing or of another type.
    [[nodiscard]] std::optional<std::string> ReadString(std::string_view name) const;
    // The same, as the system stores it (UTF-16), for values that may hold
    // characters outside Windows-1250 (paths).
    [[nodiscard]] std::optional<std::wstring> ReadWideString(std::string_view name) const;
    // A REG_DWORD value; nullopt when missing or of another type.
    [[nodiscard]] std::optional<std::uint32_t> ReadDword(std::string_view name) const;

    Result WriteString(std::string_view name, std::string_view value);
    Result WriteDword(std::string_view name, std::uint32_t value);
    // A value of any type as stored: its type (REG_*) and its bytes; nullopt
    // when it does not exist.
    struct RawValue {
        std::uint32_t type = 0;
        std::string bytes;
        friend bool operator==(const RawValue&, const RawValue&) = default;
    };
    [[nodiscard]] std::optional<RawValue> ReadRaw(std::string_view name) const;
    // The bytes WriteString and WriteDword store, for a value compared or
    // written raw.
    [[nodiscard]] static RawValue StringValue(std::string_view value);
    [[nodiscard]] static RawValue DwordValue(std::uint32_t value);
    // When the key or any of its values was last written (FILETIME, UTC);
    // nullopt when the system does not say.
    [[nodiscard]] std::optional<std::uint64_t> LastWriteTime() const;
    Result WriteRaw(std::string_view name, const RawValue& value);
    // Succeeds when the value is gone afterwards (also when it never existed).
    Result DeleteValue(std::string_view name);
    // Deletes the key when it holds neither values nor subkeys; succeeds when
    // it is gone afterwards. A key that holds more fails with
    // ERROR_DIR_NOT_EMPTY.
    static Result DeleteIfEmpty(RegistryRoot root, std::string_view path);

    // Booleans are stored as REG_DWORD 0 or 1.
    Result WriteBool(std::string_view name, bool value) { return WriteDword(name, value ? 1 : 0); }

    [[nodiscard]] HKEY handle() const noexcept { return key_.get(); }

private:
    explicit RegistryKey(HKEY key) noexcept : key_(key) {}
    RegistryKeyHandle key_;
};

HKEY RootHandle(RegistryRoot root) noexcept;

}  // namespace sys
