#pragma once
// The hidden batch that removes a program's temporary copy once the copy has
// ended, and the choice of free names for the copy and the batch.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kNazwaSkryptuUsuwania = "delme.bat";

// The numbers tried in front of the names before giving up: leftovers of that
// many failed runs mean something else is wrong.
inline constexpr std::int32_t kLiczbaNumerowKopii = 10000;

// How long the batch keeps trying: a try every 2 s or so (the pause is
// `ping -n 3` of the local host, the one wait every command processor has),
// at most this many tries, so about an hour; then it gives up and leaves the
// copy in the temporary folder rather than keep a process alive for ever.
inline constexpr int kProbySkryptuUsuwania = 1800;

// The batch text, each line ended by CR LF, silent: it keeps deleting `kopia` until
// it is gone (it cannot go while its program runs), pausing between tries
// with `ping` (the full path of the system's ping.exe, never one from the
// current folder) and giving up after kProbySkryptuUsuwania tries; then it
// deletes `skrypt`, the batch itself, and the folder `katalog` that held both.
// The last two share one line: the command processor reads a batch line by
// line, and there is no next line once the batch is gone. Each is a full
// path or one relative to the batch's current folder, already in the code
// page the command processor reads. A '%' in a path is doubled, since the
// command processor would otherwise take it for a variable.
std::string TekstSkryptuUsuwania(std::string_view kopia, std::string_view skrypt, std::string_view katalog,
                                 std::string_view ping);

// Paths of the copy and of its batch.
struct NazwyKopii {
    std::string kopia;
    std::string skrypt;

    friend bool operator==(const NazwyKopii&, const NazwyKopii&) = default;
};

// Chooses the copy's and the batch's paths in `katalog` (a folder with its
// trailing backslash): `nazwa` and "delme.bat" when neither is taken, else
// both with the same decimal number in front, trying 0, 1, 2, ... in turn.
// `zajety` tells whether such a path is taken. nullopt when every number below
// kLiczbaNumerowKopii is taken too.
std::optional<NazwyKopii> WybierzNazwyKopii(std::string_view katalog, std::string_view nazwa,
                                            const std::function<bool(const std::string&)>& zajety);
