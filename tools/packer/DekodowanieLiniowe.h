#pragma once
// The decoding procedure of packed blocks written plainly: a bit reader that
// takes one bit at a time, the table sorted by a bubble sort, and for every
// output byte a linear walk over that table. It is the yardstick that the
// fast decoder of payload/Dekompresja.h is checked against (tests, fuzzing,
// benchmark), so it is kept as close to the procedure as the bounds checks
// allow; it is not meant to be fast.
//
// Faults are those of the fast decoder, reported by throwing BladProgramu: a
// block that one rejects the other rejects too, and a block that one decodes
// the other decodes to the same bytes. The messages may differ.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

[[nodiscard]] std::vector<std::uint8_t> HuffmanDecodeLiniowo(std::span<const std::uint8_t> blok);

// One byte at a time; refuses a stream whose result would pass `pojemnosc`.
[[nodiscard]] std::vector<std::uint8_t> LzDecodeBajtami(std::span<const std::uint8_t> strumien,
                                                        std::size_t pojemnosc);
