#include "graphics/Timer.h"

#include <ctime>

namespace {
// Processor time in microseconds, kept as 32 bits; unsigned differences survive the wrap.
uint32_t NowTicks() {
  uint64_t us = (uint64_t)std::clock() * 1000000u / (uint64_t)CLOCKS_PER_SEC;
  return (uint32_t)us;
}
}  // namespace

Timer::Timer() : mTicks(NowTicks()) {}

bool Timer::Every(double seconds) {
  uint32_t now = NowTicks();
  if ((double)(uint32_t)(now - mTicks) > seconds * 1000000.0) {
    mTicks = now;
    return true;
  }
  return false;
}
