// One deterministic frame of a GL reference path, written to a file so that the paths' pictures
// can be compared. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The generator's seed for a shot: every path places and colours the same phrases.
const unsigned kShotSeed = 1;
const char kShotOption[] = "--shot";

// Takes "--shot FILE" out of the arguments (anywhere after the program name) and keeps the rest,
// the program name first, for the reference programs' own parser. False when --shot is given
// twice or without a file.
bool TakeShotOption(int argc, char** argv, std::vector<char*>& rest, std::string& file);

// Writes `bottomUp` (width x height RGB bytes, the bottom row first, as GL reads them back) as a
// binary PPM, top row first. False when the bytes do not fit the size or the file cannot be
// written whole.
bool WriteShot(const std::string& file, int32_t width, int32_t height,
               const std::vector<uint8_t>& bottomUp);
