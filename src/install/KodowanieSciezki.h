#pragma once
// The stored form of the folders that the installed programs of editions 1 to
// 3 read from the registry ("Katalog", and "CD" for edition 1).
//
// Each byte of the Windows-1250 path is XOR-ed with a key byte and written as
// two upper-case hexadecimal digits. Key byte i (0-based) is
//     (0x5A + 13 * edition + 7 * i) mod 256,
// so the same folder reads differently in each edition and the stored text is
// plain ASCII, which survives any code page. The text is twice as long as the
// path.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

[[nodiscard]] std::string ZakodujSciezke(std::string_view sciezka, std::int32_t wydanie);

// The path back; nullopt for a text that no path encodes to (odd length or a
// character other than 0-9, A-F, a-f).
[[nodiscard]] std::optional<std::string> OdkodujSciezke(std::string_view zapis, std::int32_t wydanie);
