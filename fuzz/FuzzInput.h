#pragma once
// Readers that take a path get each fuzz input as a file of its own: one per process, in memory
// where the machine has a RAM-backed folder.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

inline std::string FuzzInputFile(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/orvanta-fuzz-" + std::to_string(getpid());
  }();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return path;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}
