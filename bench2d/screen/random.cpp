#include "random.h"

RandomState randomState;

namespace {

uint32_t RotateLeft(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

int32_t PreviousIndex(int32_t index) { return index == 0 ? 16 : index - 1; }

uint64_t Step(RandomState& state) {
  uint32_t low = state.low[state.p1];
  uint32_t high = state.high[state.p1];
  uint32_t newLow = RotateLeft(high, 27) + state.high[state.p2];
  uint32_t newHigh = RotateLeft(low, 19) + state.low[state.p2];
  state.low[state.p1] = newLow;
  state.high[state.p1] = newHigh;
  state.p1 = PreviousIndex(state.p1);
  state.p2 = PreviousIndex(state.p2);
  return (static_cast<uint64_t>(newHigh) << 32) | newLow;
}

void Seed(RandomState& state) {
  state.seeded = true;
  uint32_t s = state.ticks ? state.ticks() : 0;
  for (int i = 0; i < 17; ++i) {
    s = s * 0xAC564B05u + 1;
    state.low[i] = s;
    s = s * 0xAC564B05u + 1;
    state.high[i] = s;
  }
  state.p1 = 0;
  state.p2 = 10;
  for (int i = 0; i < 31; ++i) Step(state);
}

// Integer part of value * factor / 2^64.
uint32_t ScaleDown(uint64_t value, uint32_t factor) {
  uint64_t upper = (value >> 32) * factor;
  uint64_t lower = (value & 0xFFFFFFFFu) * factor;
  return static_cast<uint32_t>((upper + (lower >> 32)) >> 32);
}

}  // namespace

void SetRandomTickSource(TickSource ticks) { randomState.ticks = ticks; }

int32_t RandomUpTo(int32_t max) {
  if (!randomState.seeded) Seed(randomState);
  uint64_t r = Step(randomState);
  if (max < 0) return INT32_MIN;
  return static_cast<int32_t>(ScaleDown(r, static_cast<uint32_t>(max) + 1u));
}
