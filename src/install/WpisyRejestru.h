#pragma once
// What the installation records in the registry, decided without the system:
// the values of the edition's key, where the uninstall entry goes, and the
// two passes with their guards. Rejestr.h writes what this plans.
//
// Strings are single-byte Windows-1250.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

enum class KorzenRejestru : std::uint8_t { BiezacyUzytkownik, LokalnaMaszyna };

// The two passes over the edition's key, in their order.
inline constexpr std::array<KorzenRejestru, 2> PrzebiegiRejestru = {KorzenRejestru::BiezacyUzytkownik,
                                                                    KorzenRejestru::LokalnaMaszyna};

struct TDaneRejestru {
    std::int32_t wydanie = 0;
    std::string katalogDocelowy;  // without a trailing backslash, except a drive root
    std::string katalogZrodlowy;  // the source root, with a trailing backslash
    std::uint8_t jezyk = 0;       // JezykInterfejsu
    bool dlaWszystkich = false;   // SkrotyDlaWszystkich
    std::string wydawca{};        // the maker, as the wizard's version information names it; "" for none
    std::uint32_t rozmiarKB = 0;  // what the run installed, in KB of 1,024 bytes
    std::string dataInstalacji{}; // the local date of the run, "yyyymmdd"
};

// A value to write: a string (REG_SZ) or an integer (REG_DWORD; Booleans are 0
// or 1).
struct TWartoscRejestru {
    std::string_view nazwa;
    std::variant<std::string, std::uint32_t> wartosc;

    bool operator==(const TWartoscRejestru&) const = default;
};

// The values of the edition's key, in the order they are written. Folders are
// in their encoded form (KodowanieSciezki.h).
[[nodiscard]] std::vector<TWartoscRejestru> WartosciKluczaWydania(const TDaneRejestru& dane);

// Whether the uninstall entry is written in the pass over `korzen`: under
// HKEY_LOCAL_MACHINE for all users, else under HKEY_CURRENT_USER.
[[nodiscard]] constexpr bool PrzebiegDeinstalacji(KorzenRejestru korzen, bool dlaWszystkich) noexcept {
    return korzen == (dlaWszystkich ? KorzenRejestru::LokalnaMaszyna : KorzenRejestru::BiezacyUzytkownik);
}

// The values of the uninstall entry, in the order they are written: what the
// system's list of programs shows (name, version, maker, icon, size, date),
// where the product lives, how it goes, and that it has no modify or repair.
// Publisher is left out when the maker is not known.
[[nodiscard]] std::vector<TWartoscRejestru> WartosciDeinstalacji(const TDaneRejestru& dane);

// "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\" + the edition's entry name.
[[nodiscard]] std::string KluczDeinstalacji(std::int32_t wydanie);

// The command that runs the uninstaller: its full path (the target folder,
// one backslash, the edition's uninstaller file) in double quotes.
[[nodiscard]] std::string PolecenieDeinstalacji(std::string_view katalogDocelowy, std::int32_t wydanie);

// Runs `przebieg` once per root of PrzebiegiRejestru, in order. Each pass is
// guarded on its own: an exception ends that pass silently and the next one
// still runs. Element i tells whether pass i ran to its end.
std::array<bool, 2> WykonajPrzebiegi(const std::function<void(KorzenRejestru)>& przebieg);
