#pragma once
// The patch maker: from the old and the new content of a file, the difference
// script that turns one into the other (payload/SkryptPoprawki.h) and the
// packed patch file that carries it. Platform independent; used by the
// build-time tool velt-patch and by the round-trip tests of every tree.

#include "payload/SkryptPoprawki.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The difference script: the escape byte is the one that occurs least in the
// new content (each literal occurrence costs a second byte), and every run of
// 256 new bytes found in the old content at an offset whose low byte is not
// the escape byte becomes a 5-byte copy. UruchomSkrypt(script, old, new size)
// yields exactly `nowa`. Raises BladProgramu when the old content is 4 GiB
// or more (offsets are 32 bits).
[[nodiscard]] std::vector<std::uint8_t> TworzSkrypt(std::span<const std::uint8_t> stara,
                                                    std::span<const std::uint8_t> nowa);

// A patch: the packed script (the patch file's bytes) and the list entry that
// names it, with the sizes filled in.
struct Poprawka {
    std::vector<std::uint8_t> Plik;
    WpisPoprawki Wpis;
};

// Makes the patch and checks it by unpacking and running it against `stara`;
// raises BladProgramu when it does not give back `nowa` or a size does not
// fit the entry's 32-bit fields.
[[nodiscard]] Poprawka TworzPoprawke(std::span<const std::uint8_t> stara, std::span<const std::uint8_t> nowa,
                                     const std::string& nazwaPoprawki, const std::string& nazwaCelu);
