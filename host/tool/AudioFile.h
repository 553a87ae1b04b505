#pragma once
// Audio files (WAV, AIFF, FLAC, OGG and whatever else libsndfile reads) held as one float
// buffer per channel, with the container and sample format kept for writing back.

#include <string>
#include <vector>

struct AudioFile {
  double sampleRate = 44100;
  int format = 0;  // libsndfile major | minor format; 0 writes 32-bit float WAV
  std::vector<std::vector<float>> channels;

  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// False with a message naming the file for a missing, unreadable, non-audio or truncated file.
bool ReadAudioFile(const std::string& path, AudioFile* audio, std::string* error);
// Writes through a temporary file beside the target and renames it into place, so a failed
// write never leaves a partial file behind. False with a message naming the file.
bool WriteAudioFile(const std::string& path, const AudioFile& audio, std::string* error);
