#pragma once
// The packer: makes the packed blocks that the installer's decompressor
// (payload/Dekompresja.h) reads. Platform independent; used by the build-time
// tool velt-pack and by the round-trip tests of every tree.
//
// All functions take bytes and return a new byte string; they throw
// BladProgramu only for an input the format cannot hold (N over 32 bits).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// LZ stage: literal runs of 1..128 bytes and matches of 3..10 bytes at
// distances 1..4095, found by hash chains with one step of lazy matching.
// The result decodes with LzDecode to exactly `dane`.
[[nodiscard]] std::vector<std::uint8_t> LzEncode(std::span<const std::uint8_t> dane);

// Prefix-code stage: a complete code of lengths 1..16 built from the byte
// frequencies of `dane` (one distinct byte gets a code of length 1, no bytes
// give an empty table), stored with canonical codes. The result decodes with
// HuffmanDecode to exactly `dane`.
[[nodiscard]] std::vector<std::uint8_t> HuffmanEncode(std::span<const std::uint8_t> dane);

// Two-stage block: HuffmanEncode(LzEncode(dane)); RozpakujBlok undoes it.
[[nodiscard]] std::vector<std::uint8_t> SpakujBlok(std::span<const std::uint8_t> dane);

// Optimal code lengths no longer than `najdluzszy` bits (package-merge) for the
// given frequencies; 0 for an absent byte. Two or more present bytes get a
// complete code (Kraft sum exactly 1); a single one gets length 1.
// `najdluzszy` is 1..16 and must allow the number of present bytes.
[[nodiscard]] std::array<std::uint8_t, 256> DlugosciKodow(const std::array<std::uint64_t, 256>& czestosci,
                                                          unsigned najdluzszy);
