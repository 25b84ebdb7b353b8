#pragma once
// Patch lists and difference scripts over memory: reading and writing the
// entries of a list, and running a script against the old content of a file.
// Platform independent; the files are install/Poprawki.h.
//
// A patch list is a sequence of entries up to its end, every byte stored
// complemented (bitwise NOT). After complementing, one entry is:
//   patch name length   16 bits LE, then the patch name (Windows-1250)
//   target name length  16 bits LE, then the target name (Windows-1250)
//   old size            32 bits LE: bytes the target must have
//   script capacity     32 bits LE: capacity for LzDecode of the patch file
//   new capacity        32 bits LE: room for the patched content
//
// A difference script (the unpacked patch file):
//   0..3  32-bit LE sum of all bytes of the old content, modulo 2^32
//   4     escape byte E
//   5..   commands: a byte other than E is itself; E E is one E; E c b1 b2 b3
//         (c != E) copies the 256 old bytes at offset c | b1<<8 | b2<<16 | b3<<24.
//
// Hostile input never leads outside the buffers: every fault is a
// BladProgramu with a plain ASCII message.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One entry of a patch list. Names are relative: the patch to the patch
// folder, the target to the target folder.
struct WpisPoprawki {
    std::string Poprawka;
    std::string Cel;
    std::uint32_t StaryRozmiar = 0;
    std::uint32_t PojemnoscSkryptu = 0;
    std::uint32_t NowaPojemnosc = 0;

    friend bool operator==(const WpisPoprawki&, const WpisPoprawki&) = default;
};

// The entries of a list file's bytes, in order. `Urwana` is true when the
// bytes end inside an entry: the entries before it are whole and usable.
struct ListaPoprawek {
    std::vector<WpisPoprawki> Wpisy;
    bool Urwana = false;
};
[[nodiscard]] ListaPoprawek CzytajListePoprawek(std::span<const std::uint8_t> bajty);

// The complemented bytes of one entry, to append to a list file. Raises
// BladProgramu for a name longer than 65,535 bytes.
[[nodiscard]] std::vector<std::uint8_t> ZakodujWpis(const WpisPoprawki& wpis);

// Whether `nazwa` stays inside the folder it is relative to: not empty, no
// drive, no leading separator, no ".." component, no ':' (drives and streams)
// and no wildcard (a directory search would match other files). Both '\' and
// '/' count as separators.
[[nodiscard]] bool NazwaWKatalogu(std::string_view nazwa) noexcept;

// Whether an entry and its patch file of `rozmiarPoprawki` bytes stay within
// what one entry may hold in memory: the old size, both capacities and the
// patch file at most NajwiekszyPlik (payload/Dekompresja.h) bytes each.
[[nodiscard]] bool WpisWGranicach(const WpisPoprawki& wpis, std::uint64_t rozmiarPoprawki) noexcept;

// The sum of all bytes taken unsigned, modulo 2^32.
[[nodiscard]] std::uint32_t SumaBajtow(std::span<const std::uint8_t> bajty) noexcept;

// Size of the header of a script, and the bytes of one copy command.
inline constexpr std::size_t NaglowekSkryptu = 5;
inline constexpr std::size_t DlugoscKopii = 256;

// Running a script against the old content.
struct WynikSkryptu {
    bool SumaZgodna = false;         // false: the check sum differs, nothing was run
    std::vector<std::uint8_t> Nowa;  // the new content when SumaZgodna
};
// Raises BladProgramu for a script shorter than its header, one that ends
// inside a command, a copy reaching past the old content, and new content
// larger than `nowaPojemnosc` bytes.
[[nodiscard]] WynikSkryptu UruchomSkrypt(std::span<const std::uint8_t> skrypt,
                                         std::span<const std::uint8_t> stara, std::size_t nowaPojemnosc);

// The patch records: lists offered first, each to a set of editions (numbers
// 0..255; a larger number is never in a set).
struct TRekordPoprawek {
    std::uint64_t Wydania[4];  // bit n % 64 of word n / 64 is edition n
    std::string_view Lista;

    [[nodiscard]] constexpr bool DlaWydania(std::int32_t wydanie) const noexcept {
        return wydanie >= 0 && wydanie <= 255 && ((Wydania[wydanie / 64] >> (wydanie % 64)) & 1) != 0;
    }
};
inline constexpr TRekordPoprawek RekordyPoprawek[] = {
    {{(1u << 2) | (1u << 3), 0, 0, 0}, "info.pth"},
    {{(1u << 2) | (1u << 3), 0, 0, 0}, "info2.pth"},
};

// The numbered lists offered after the records: "info.pth" for 1, then
// "info2.pth", "info3.pth" and so on.
[[nodiscard]] std::string NazwaListyNumerowanej(std::uint32_t numer);
