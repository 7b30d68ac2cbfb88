// Random numbers for phrase placement and colours: a two-lag rotate-and-add generator seeded once
// from the tick count. Portable; the tick source is set by the program (GetTickCount) or a test.
#pragma once

#include <cstdint>

using TickSource = uint32_t (*)();

struct RandomState {
  uint32_t low[17];
  uint32_t high[17];
  int32_t p1;
  int32_t p2;
  bool seeded;
  TickSource ticks;  // null reads as tick 0
};

extern RandomState randomState;

// Sets where the first RandomUpTo takes its seed from.
void SetRandomTickSource(TickSource ticks);

// Uniform integer in 0..max inclusive; -2147483648 for a negative max. Seeds on first use.
int32_t RandomUpTo(int32_t max);
