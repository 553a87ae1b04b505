#pragma once
// Seed and length of a randomised test. By default a test runs its own seed for its own
// number of rounds (short, the same on every run); ORVANTA_TEST_SEED picks another seed and
// ORVANTA_TEST_ITERATIONS another number of rounds, e.g. a long run on request:
//   ORVANTA_TEST_SEED=42 ORVANTA_TEST_ITERATIONS=1000000 ctest -R RandomLines
// Every failure inside the test names the seed, so that a failing run can be repeated.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

class RandomRun {
 public:
  RandomRun(uint64_t defaultSeed, int defaultIterations)
      : mSeed(FromEnvironment("ORVANTA_TEST_SEED", defaultSeed)),
        mIterations((int)FromEnvironment("ORVANTA_TEST_ITERATIONS", (uint64_t)defaultIterations)),
        mTrace(__FILE__, __LINE__,
               "random seed " + std::to_string(mSeed) + ", " + std::to_string(mIterations) +
                   " rounds (repeat with ORVANTA_TEST_SEED=" + std::to_string(mSeed) + ")") {}

  uint64_t Seed() const { return mSeed; }
  int Iterations() const { return mIterations; }

 private:
  // A set variable that is not a whole number leaves the default.
  static uint64_t FromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    return *end ? fallback : (uint64_t)value;
  }

  uint64_t mSeed;
  int mIterations;
  ::testing::ScopedTrace mTrace;
};
