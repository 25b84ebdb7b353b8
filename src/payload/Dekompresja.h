#pragma once
// The decompressor of packed blocks: a prefix-code stage (HuffmanDecode) over a
// byte-oriented LZ stage (LzDecode). Both work on memory only and are pure.
//
// Packed block, read MSB first within each byte:
//   code table  for byte values 0..255: 1 present bit; if present 4 bits of
//               length L (0 stands for 16) and L bits of code
//   padding     to the next byte boundary (none when the table ends on one)
//   N           32-bit little-endian count of output bytes
//   code stream the codes of the N bytes; bits after the last code are ignored
// LZ stream: control byte c >= 0x80 is a literal run of (c & 0x7F) + 1 bytes;
// c < 0x80 is a match of ((c >> 4) & 7) + 3 bytes from distance
// ((c & 0x0F) << 8) + next byte, copied byte by byte (so it may overlap).
//
// Hostile input: every function stays inside its buffers whatever the bytes
// are, and throws BladProgramu with a plain ASCII message at the first fault.
// Choices made where the format leaves it open:
//   - A table with no entries is accepted only with N = 0; a table with one
//     entry is an ordinary code (its bits must still match it). N = 0 yields an
//     empty result whatever the table holds.
//   - The codes are taken as stored and need not be canonical or complete. A
//     table whose codes are not prefix-free (duplicates, one code a prefix of
//     another) decodes the way the linear walk over the table sorted by length
//     (stable, so byte order within a length) decodes it: the first entry that
//     matches wins. So every block yields the same bytes as that walk.
//   - A block whose code stream cannot hold N codes (N times the shortest code
//     length exceeds its bits) is refused before anything is allocated, so a
//     hostile N costs no memory.
//   - Bits that match no code, and a code that would need bits past the end of
//     the block, are errors.
//   - LZ: a token cut short by the end of the stream, a match distance of 0 or
//     reaching before the start of the output, and a result larger than the
//     capacity are errors; nothing partial is returned.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Capacities (bytes) that callers give LzDecode.
inline constexpr std::size_t PojemnoscCzesciProgramu = 2'500'000;  // a part of the main program
inline constexpr std::size_t PojemnoscDodatku = 0x200000;          // an update item

// The largest file the payload code holds in memory: a patch file, a patched
// file, a capacity named by a patch list, a ZIP member. One patch entry holds
// several such buffers at once, and a 32-bit process has 2 GB of address
// space; the product's own files are a few MB.
inline constexpr std::size_t NajwiekszyPlik = 64u << 20;

// First stage: returns exactly the N bytes that the block stores.
[[nodiscard]] std::vector<std::uint8_t> HuffmanDecode(std::span<const std::uint8_t> blok);

// Second stage: returns what the tokens produce; never more than `pojemnosc`
// bytes (a stream that would produce more is refused). Any capacity is safe:
// the buffer is sized from the stream, with checked arithmetic.
[[nodiscard]] std::vector<std::uint8_t> LzDecode(std::span<const std::uint8_t> strumien,
                                                 std::size_t pojemnosc);

// The usual two-stage unpack: the bytes of LzDecode(HuffmanDecode(blok),
// pojemnosc), and a fault wherever that composition has one, but both stages
// run interleaved in one pass, which is much faster.
[[nodiscard]] std::vector<std::uint8_t> RozpakujBlok(std::span<const std::uint8_t> blok,
                                                     std::size_t pojemnosc);
