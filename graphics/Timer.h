#pragma once
// Elapsed processor time, polled: Every(s) answers true once each time s seconds have passed.

#include <cstdint>

class Timer {
 public:
  Timer();
  bool Every(double seconds);

 private:
  uint32_t mTicks;  // processor clock at the last answer, 1,000,000 ticks per second
};
