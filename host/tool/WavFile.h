#pragma once
// Float audio files read and written with libsndfile, kept as one buffer per channel.

#include <string>
#include <vector>

struct WavAudio {
  double sampleRate = 44100;
  std::vector<std::vector<float>> channels;

  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// False with a message for a missing or unreadable file.
bool ReadWav(const std::string& path, WavAudio* audio, std::string* error);
// Writes 32-bit float WAV; false with a message when the file cannot be written.
bool WriteWav(const std::string& path, const WavAudio& audio, std::string* error);
